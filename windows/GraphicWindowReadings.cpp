// The graphical windows' readings: the switch (popup-menu item and F2), the mouse over the plot,
// and the box and cursor line laid over the picture with the pixels under them kept, so that
// taking them off leaves the picture exactly as the display drew it.
#include "windows/GraphicWindow.h"

#include <QAction>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <cstring>

namespace mirel {

namespace {

// Passes the surface's mouse moves and its leaving on to the window.
class ReadingsMouse : public QObject {
public:
    ReadingsMouse(GraphicWindow& window, QObject* parent) : QObject(parent), window_(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseMove)
            window_.cursorMoved(static_cast<QMouseEvent*>(event)->position().toPoint());
        else if (event->type() == QEvent::Leave)
            window_.cursorMoved(std::nullopt);
        return QObject::eventFilter(watched, event);
    }

private:
    GraphicWindow& window_;
};

// Copies `area` of `from` to the same place of `to` (both 32-bit pictures of one size).
void CopyPixels(const QImage& from, QImage& to, const QRect& area)
{
    const QRect r = area & from.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        std::memcpy(to.scanLine(y) + r.left() * 4, from.constScanLine(y) + r.left() * 4,
                    static_cast<std::size_t>(r.width()) * 4);
}

}  // namespace

void GraphicWindow::installReadingsMouse()
{
    surface_->installEventFilter(new ReadingsMouse(*this, this));
}

void GraphicWindow::setReadingsOn(bool on)
{
    if (on == readingsOn_)
        return;
    readingsOn_ = on;
    readingsAction_->setChecked(on);
    surface_->setMouseTracking(on);
    if (on) {
        showReadings();
    } else {
        hideReadings();
        cursorX_.reset();
    }
}

void GraphicWindow::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_F2 && e->modifiers() == Qt::NoModifier) {
        setReadingsOn(!readingsOn_);
        return;
    }
    InstrumentWindow::keyPressEvent(e);
}

void GraphicWindow::cursorMoved(std::optional<QPoint> position)
{
    if (!readingsOn_)
        return;
    const PlotRect plot = readingsPlot();
    std::optional<int> x;
    if (position && position->x() >= plot.Left && position->x() < plot.Left + plot.Width && position->y() >= plot.Top &&
        position->y() < plot.Top + plot.Height)
        x = position->x();
    const std::optional<int> y = x && cursorRowMatters() ? std::optional(position->y()) : std::nullopt;
    if (x == cursorX_ && y == cursorY_)
        return;
    hideReadings();
    cursorX_ = x;
    cursorY_ = y;
    showReadings();
}

void GraphicWindow::showReadings()
{
    if (!readingsOn_ || !cursorLine_.isNull() || !readingsArea_.isNull())
        return;
    const QImage& picture = surface_->image();
    if (picture.isNull())
        return;
    const PlotRect plot = readingsPlot();
    const std::vector<ReadingLine> lines = Readings();
    Canvas& c = surface_->canvas();
    if (cursorX_)
        cursorLine_ = QRect(QPoint(*cursorX_, Trunc(plot.Top)), QPoint(*cursorX_, Trunc(plot.Top + plot.Height) - 1));
    const plot::ReadingsBox box = plot::PlaceReadings(
        c, readingsGlyphs_, plot, lines, shownTexts_.boxesBut(plot::ShownTexts::Part::Band), cursorX_.value_or(-1));
    readingsArea_ = box.Area;
    if (cursorLine_.isNull() && readingsArea_.isNull())
        return;
    if (underReadings_.size() != picture.size()) {
        underReadings_ = QImage(picture.size(), QImage::Format_RGB32);
    }
    CopyPixels(picture, underReadings_, cursorLine_);
    CopyPixels(picture, underReadings_, readingsArea_);
    if (!cursorLine_.isNull()) {
        plot::GridPen(c, CurrentScheme, CurrentScheme.Frame, plot::Pen::Solid);
        plot::VerticalLine(c, plot, *cursorX_);
    }
    plot::DrawReadings(c, readingsGlyphs_, CurrentScheme, box, lines);
}

void GraphicWindow::hideReadings()
{
    Canvas& c = surface_->canvas();
    if (underReadings_.size() == surface_->image().size()) {
        if (!readingsArea_.isNull())
            c.copyRect(underReadings_, readingsArea_);
        if (!cursorLine_.isNull())
            c.copyRect(underReadings_, cursorLine_);
    }
    forgetReadings();
}

void GraphicWindow::forgetReadings()
{
    cursorLine_ = QRect();
    readingsArea_ = QRect();
}

void GraphicWindow::measurementsStale()
{
    measuredValid_ = false;
    if (readingsOn_)
        updateMeasurements();
}

void GraphicWindow::updateMeasurements()
{
    if (!measuredValid_ || measuredChoice_ != measurementChoice()) {
        measuredValid_ = true;
        measuredChoice_ = measurementChoice();
        measured_.clear();
        // Both channels' first rows before either's second, so that a small box drops the least telling.
        const std::vector<std::string> a = measuredRows(TextColour::ChannelA);
        const std::vector<std::string> b = measuredRows(TextColour::ChannelB);
        for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
            if (i < a.size())
                measured_.push_back({a[i], TextColour::ChannelA});
            if (i < b.size())
                measured_.push_back({b[i], TextColour::ChannelB});
        }
    }
}

std::vector<ReadingLine> GraphicWindow::Readings()
{
    std::vector<ReadingLine> lines = CursorLines();
    if (!readingsOn_)
        return lines;
    updateMeasurements();
    lines.insert(lines.end(), measured_.begin(), measured_.end());
    return lines;
}

}  // namespace mirel
