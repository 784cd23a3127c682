#include "GraphicWindow.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QVBoxLayout>

namespace mirel {

GraphicWindow::GraphicWindow(WaveInput& input, LauncherLink& launcher, const QString& caption,
                             const char* surfaceName, const char* menuName)
    : InstrumentWindow(input, launcher, caption),
      WhiteCopy(launcher.WhiteScheme),
      BlackCopy(launcher.BlackScheme),
      CurrentScheme(launcher.WhiteScheme)
{
    Layout = new QVBoxLayout(clientArea());
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->setSpacing(0);
    Surface = new DrawingSurface(clientArea());
    Surface->setObjectName(surfaceName);
    Surface->setBackgroundColor(CurrentScheme.Background);
    Layout->addWidget(Surface, 1);

    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(menuName);
    ExportAction = PopupMenu->addAction(QStringLiteral("Сохранить диаграмму ..."));
    ExportAction->setObjectName("N1");
    ExportAction->setEnabled(false);  // until the picture export is built
    connect(ExportAction, &QAction::triggered, this, [this] { N1Click(); });
}

void GraphicWindow::addControlPanel(QWidget* panel)
{
    Layout->addWidget(panel);
}

void GraphicWindow::popUpMenu(QPoint position)
{
    PopupMenu->popup(Surface->mapToGlobal(position));
}

void GraphicWindow::ChangeColor()
{
    CurrentScheme = CurrentScheme.Background == WhiteCopy.Background ? BlackCopy : WhiteCopy;
    Surface->setBackgroundColor(CurrentScheme.Background);
    update();
    ClearFon();
    RedrawCurves();
}

void GraphicWindow::ChangeLineWidth(int width, bool shown)
{
    if (shown)
        ClearDiagr();
    LineWidth = width < 1 ? 1 : width;
    if (shown)
        Repaint();
}

void GraphicWindow::FormShow()
{
    if (!Running)
        Start();
    InstrumentWindow::FormShow();
    ClearFon();
}

void GraphicWindow::FormCloseQuery()
{
    Stop();
    InstrumentWindow::FormCloseQuery();
}

void GraphicWindow::paintEvent(QPaintEvent*)
{
    // Only the window's own background follows the scheme; panels of controls keep their colour.
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgb(CurrentScheme.Background));
}

}  // namespace mirel
