#pragma once
// What the three graphical instrument windows share on top of InstrumentWindow: the drawing surface
// above their control panel, their copies of the launcher's two colour schemes, the curves' line
// width, the popup menu of the display with its export item, capture started on show and stopped on
// close, and the scheme toggle, whose window-specific steps (ClearFon, RedrawCurves) are theirs.

#include "DrawingSurface.h"
#include "InstrumentWindow.h"

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
    QMenu* popupMenu() const { return popupMenu_; }
    // "Сохранить диаграмму ...", the menu's export item (N1).
    QAction* exportAction() const { return exportAction_; }

protected:
    // The whole surface cleared and its frame, grid and labels drawn (start, show, resize, scheme).
    virtual void ClearFon() = 0;
    // After a scheme change and ClearFon: the curves in the new colours.
    virtual void RedrawCurves() = 0;
    // The export item's command.
    virtual void N1Click() {}

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
    QVBoxLayout* layout_;
    QMenu* popupMenu_;
    QAction* exportAction_;
};

}  // namespace mirel
