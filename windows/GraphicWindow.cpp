#include "windows/GraphicWindow.h"

#include "display/PlotScreen.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QVBoxLayout>

namespace mirel {

GraphicWindow::GraphicWindow(WaveInput& input, LauncherLink& launcher, const QString& caption, const char* surfaceName,
                             const char* menuName)
    : InstrumentWindow(input, launcher, caption),
      SDialog(this, QStringLiteral("SDialog"), QStringLiteral("Сохранить диаграмму"),
              {QStringLiteral("BMP (*.bmp)"), QStringLiteral("JPG (*.jpg)"), QStringLiteral("PNG (*.png)")}),
      WhiteCopy(launcher.WhiteScheme),
      BlackCopy(launcher.BlackScheme),
      CurrentScheme(launcher.WhiteScheme),
      csvDialog_(this, QStringLiteral("SDialogCsv"), QStringLiteral("Сохранить данные"),
                 {QStringLiteral("CSV (*.csv)")})
{
    layout_ = new QVBoxLayout(clientArea());
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    surface_ = new DrawingSurface(clientArea());
    surface_->setObjectName(surfaceName);
    surface_->setBackgroundColor(CurrentScheme.Background);
    layout_->addWidget(surface_, 1);

    popupMenu_ = new QMenu(this);
    popupMenu_->setObjectName(menuName);
    exportAction_ = popupMenu_->addAction(QStringLiteral("Сохранить диаграмму ..."));
    exportAction_->setObjectName("N1");
    exportAction_->setEnabled(false);
    connect(exportAction_, &QAction::triggered, this, [this] { N1Click(); });
    dataAction_ = popupMenu_->addAction(QStringLiteral("Сохранить данные (CSV) ..."));
    dataAction_->setObjectName("N2");
    dataAction_->setEnabled(false);
    connect(dataAction_, &QAction::triggered, this, [this] { N2Click(); });
    popupMenu_->addSeparator();
    readingsAction_ = popupMenu_->addAction(QStringLiteral("Показания"));
    readingsAction_->setObjectName("NReadings");
    readingsAction_->setCheckable(true);
    readingsAction_->setShortcut(QKeySequence(Qt::Key_F2));
    connect(readingsAction_, &QAction::toggled, this, [this](bool on) { setReadingsOn(on); });
    installReadingsMouse();
    prompts_ = defaultPrompts(this);
}

void GraphicWindow::addControlPanel(QWidget* panel)
{
    layout_->addWidget(panel);
}

void GraphicWindow::popUpMenu(QPoint position)
{
    popupMenu_->popup(surface_->mapToGlobal(position));
}

void GraphicWindow::freezeClick(Qt::MouseButton button, QPoint position, bool& live)
{
    if (button == Qt::RightButton) {
        live = false;
        popUpMenu(position);
        return;
    }
    live = !live;
}

void GraphicWindow::ChangeColor()
{
    CurrentScheme = CurrentScheme.Background == WhiteCopy.Background ? BlackCopy : WhiteCopy;
    surface_->setBackgroundColor(CurrentScheme.Background);
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

void GraphicWindow::DeviceLostChanged(bool lost)
{
    ClearFon();
    if (!lost)
        Repaint();
}

void GraphicWindow::DeviceLostTextOut(const PlotRect& plot)
{
    if (deviceLost())
        plot::DrawNotice(surface_->canvas(), CurrentScheme, plot, QString::fromUtf8(DeviceLostText));
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
