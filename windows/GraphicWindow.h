#pragma once
// What the three graphical instrument windows share on top of InstrumentWindow: the drawing surface
// above their control panel, their copies of the launcher's two colour schemes, the curves' line
// width, the popup menu of the display with its two save commands and the readings switch, capture
// started on show and stopped on close, and the scheme toggle, whose window-specific steps
// (ClearFon, RedrawCurves) are theirs.

#include "common/ExportText.h"
#include "common/PlotRect.h"
#include "display/DrawingSurface.h"
#include "display/PlotScreen.h"
#include "windows/ExportFile.h"
#include "windows/InstrumentWindow.h"

#include <QImage>
#include <QRect>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QKeyEvent;
class QMenu;
class QVBoxLayout;

namespace mirel {

class GraphicWindow : public InstrumentWindow {
    Q_OBJECT

public:
    // `surfaceName` and `menuName` are the object names of the drawing surface and its popup menu.
    GraphicWindow(WaveInput& input, LauncherLink& launcher, const QString& caption, const char* surfaceName,
                  const char* menuName);

    // The launcher's scheme buttons: white ↔ black, the whole surface drawn anew, curves redrawn.
    void ChangeColor();
    // The launcher's line-width control. `shown`: this window is on screen, so its curves are erased
    // with the old width and drawn with the new one at once.
    void ChangeLineWidth(int width, bool shown);

    // Erases the curves drawn last and restores the grid; draws the curves (the instrument's paint).
    virtual void ClearDiagr() = 0;
    virtual void Repaint() = 0;

    int lineWidth() const { return LineWidth; }
    const DisplayPalette& currentScheme() const { return CurrentScheme; }
    DrawingSurface* surface() const { return surface_; }
    // The texts on the surface now, each kept clear of the others; cleared by ClearFon.
    plot::ShownTexts& shownTexts() { return shownTexts_; }
    QMenu* popupMenu() const { return popupMenu_; }
    // "Сохранить диаграмму ...", the menu's export item (N1), and "Сохранить данные (CSV) ..." (N2).
    QAction* exportAction() const { return exportAction_; }
    QAction* dataAction() const { return dataAction_; }
    // "Показания" (F2): the readings box over the plot and, while the mouse is over the plot, the
    // value under the cursor with a line at its place. Off until the user turns it on; kept while
    // the window lives.
    QAction* readingsAction() const { return readingsAction_; }
    bool readingsOn() const { return readingsOn_; }
    void setReadingsOn(bool on);
    // The mouse over the surface at `position` (nothing: it has left), as the surface reports it.
    void cursorMoved(std::optional<QPoint> position);
    // The lines of the readings box: the value under the cursor, then, while the readings are on,
    // the shown channels' measurements of the block shown, A's and B's rows in turn.
    std::vector<ReadingLine> Readings();
    // The lines of the value under the cursor, from what the display holds now; `cursorX()` is the
    // column the mouse points at inside the plot; none while it is off the plot.
    virtual std::vector<ReadingLine> CursorLines() { return {}; }
    // One channel's measurements of the block shown, as numbers; none when the channel is hidden or
    // nothing has been measured. Worked out anew on each call, whether the readings are on or not.
    virtual std::optional<MeasuredValues> measuredValues(TextColour /*channel*/) { return std::nullopt; }

    // The picture: the display redrawn, the title band written into its top margin where it covers
    // no text (shorter where the whole band does not fit), the surface saved as BMP, JPEG or PNG
    // under the name chosen in SDialog.
    void N1Click();
    // The numbers the display shows now, as CSV.
    void N2Click();

    // Where the save commands meet the user and the clock; tests put their own in.
    struct ExportPrompts {
        std::function<LocalTime()> Now;
        // The dialog shown with a proposed name; nothing when cancelled.
        std::function<std::optional<SaveChoice>(SaveDialog& dialog, const QString& proposedName)> AskFile;
        // A yes/no question; true: go on.
        std::function<bool(const QString& question)> AskReplace;
        std::function<void(const QString& message)> ShowError;
    };
    ExportPrompts& exportPrompts() { return prompts_; }

    SaveDialog SDialog;  // the picture's dialog: BMP, JPG, PNG
    SaveDialog& csvDialog() { return csvDialog_; }

protected:
    // The whole surface cleared and its frame, grid and labels drawn (start, show, resize, scheme).
    virtual void ClearFon() = 0;
    // After a scheme change and ClearFon: the curves in the new colours.
    virtual void RedrawCurves() = 0;
    // What the save commands take from an instrument: its name in the band and in file names, and
    // the band's left edge (three times the plot's left edge). Until a window gives it, both menu
    // items stay disabled.
    struct ExportProfile {
        std::string Instrument;
        int BandX = 0;
    };
    void enableExport(ExportProfile profile);
    // The complete redraw before the picture is taken.
    virtual void RedrawForExport() {}
    // After either dialog, whether a file was written or not (cancelled, or failed and reported).
    virtual void AfterExport(bool /*saved*/) {}
    // The columns of what the display shows now.
    virtual DataTable DisplayedData() { return {}; }
    // The CSV file of what the display shows now: DisplayedData's columns unless a view has rows.
    virtual std::string DisplayedCsv() { return ToCsv(DisplayedData()); }

    // The plot area the cursor and the box belong to.
    virtual PlotRect readingsPlot() const { return {}; }
    std::optional<int> cursorX() const { return cursorX_; }
    // The row of the mouse while cursorX() has a column; the box follows it only where the value
    // under the cursor depends on the row (cursorRowMatters).
    std::optional<int> cursorY() const { return cursorX_ ? cursorY_ : std::nullopt; }
    virtual bool cursorRowMatters() const { return false; }
    // The measurements are worked out once per block: a new block makes them stale, and so does a
    // change of what they depend on besides it (`measurementChoice`: the channels shown, a kind).
    // While the readings are shown they are worked out again at once, while the block's data is
    // still in the processor's cache.
    void measurementsStale();
    virtual int measurementChoice() const { return 0; }
    // One channel's rows of measurements, the most telling first; none when it is hidden or nothing
    // has been measured.
    virtual std::vector<std::string> measuredRows(TextColour /*channel*/) { return {}; }
    // The box and the cursor line put over the picture (after a paint) and taken off it (before the
    // display draws into the plot again): the pixels under them are kept and put back, so nothing
    // of them remains. A cleared picture forgets them (forgetReadings).
    void showReadings();
    void hideReadings();
    void forgetReadings();
    // Works the measurements out unless they are up to date.
    void updateMeasurements();

    // While the capture's device is lost, the displays say so over their plot: the surface is
    // cleared (ClearFon writes the notice) and drawn again when the device is back.
    void DeviceLostChanged(bool lost) override;
    // The notice, written by the window's ClearFon and paint while the device is lost.
    void DeviceLostTextOut(const PlotRect& plot);

    // Starts the capture unless it runs, takes the launcher's size, clears the surface (ClearFon).
    void FormShow() override;
    // Stops the capture, then hands the size back.
    void FormCloseQuery() override;
    void paintEvent(QPaintEvent* e) override;
    // F2 switches the readings.
    void keyPressEvent(QKeyEvent* e) override;

    // Puts an instrument's control panel under the surface.
    void addControlPanel(QWidget* panel);
    // Opens the popup menu of the display at a point of the surface.
    void popUpMenu(QPoint position);
    // The freeze gestures of a display that lets blocks in while `live`: the right button freezes
    // it and opens the popup menu (so a saved diagram holds the picture shown), any other button
    // freezes or resumes it.
    void freezeClick(Qt::MouseButton button, QPoint position, bool& live);

    DisplayPalette WhiteCopy;
    DisplayPalette BlackCopy;
    DisplayPalette CurrentScheme;
    int LineWidth = 1;

private:
    DrawingSurface* surface_;
    plot::ShownTexts shownTexts_;
    QVBoxLayout* layout_;
    QMenu* popupMenu_;
    QAction* exportAction_;
    QAction* dataAction_;
    QAction* readingsAction_;
    bool readingsOn_ = false;
    std::optional<int> cursorX_;
    std::optional<int> cursorY_;
    // The readings over the picture: where they are and the pixels they cover, kept at their place
    // in a picture of the surface's size.
    QRect cursorLine_;
    QRect readingsArea_;
    QImage underReadings_;
    GlyphLines readingsGlyphs_;  // the box's lines, laid out once per text
    std::vector<ReadingLine> measured_;
    bool measuredValid_ = false;
    int measuredChoice_ = 0;
    SaveDialog csvDialog_;
    ExportProfile exportProfile_;
    ExportPrompts prompts_;

    // Lets the surface's mouse moves and its leaving reach cursorMoved.
    void installReadingsMouse();

    // The real dialogs and message boxes, over `parent`.
    static ExportPrompts defaultPrompts(QWidget* parent);
    // The dialog's choice with its extension (by the chosen filter) appended, after asking before an
    // appended name replaces an existing file; nothing when the user backs out.
    std::optional<QString> chooseTarget(SaveDialog& dialog, const QString& proposedName,
                                        const std::vector<const char*>& extensions);
    // Shows why `path` could not be written (`failure` not empty); true when it was written.
    bool reportWrite(const QString& path, const QString& failure);
};

}  // namespace mirel
