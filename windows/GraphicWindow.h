#pragma once
// What the three graphical instrument windows share on top of InstrumentWindow: the drawing surface
// above their control panel, their copies of the launcher's two colour schemes, the curves' line
// width, the popup menu of the display with its two save commands, capture started on show and
// stopped on close, and the scheme toggle, whose window-specific steps (ClearFon, RedrawCurves) are
// theirs.

#include "common/ExportText.h"
#include "common/PlotRect.h"
#include "display/DrawingSurface.h"
#include "display/PlotScreen.h"
#include "windows/ExportFile.h"
#include "windows/InstrumentWindow.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAction;
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
    SaveDialog csvDialog_;
    ExportProfile exportProfile_;
    ExportPrompts prompts_;

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
