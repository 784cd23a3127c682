#include "display/DrawingSurface.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QResizeEvent>
#include <cstdlib>

namespace mirel {

namespace {
QColor ToColor(Rgb rgb)
{
    return QColor(static_cast<int>(RedOf(rgb)), static_cast<int>(GreenOf(rgb)), static_cast<int>(BlueOf(rgb)));
}
}  // namespace

DrawingSurface::DrawingSurface(QWidget* parent)
    : QWidget(parent),
      canvas_(
          image_, [this] { fitImage(); }, [this](const QRect& area) { drawn(area); })
{
    // The picture covers every pixel, so Qt need not erase anything before a paint event.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setBackgroundColor(background_);
}

const QImage& DrawingSurface::image() const
{
    fitImage();
    return image_;
}

void DrawingSurface::fitImage() const
{
    if (image_.size() != size() && !(image_.isNull() && size().isEmpty()))
        newImage();
}

void DrawingSurface::newImage() const
{
    if (size().isEmpty()) {
        image_ = QImage();
        return;
    }
    // Scan lines an odd number of cache lines long. Lines a power of two (or a small multiple of
    // one) apart fall into a few cache sets, and a stroke down a column, as the steep parts of a
    // curve and the grid lines are, would then miss the cache at every pixel.
    constexpr qsizetype CacheLine = 64;
    qsizetype stride = (qsizetype{width()} * 4 + CacheLine - 1) / CacheLine * CacheLine;
    if ((stride / CacheLine) % 2 == 0)
        stride += CacheLine;
    if (auto* bits = static_cast<uchar*>(std::aligned_alloc(CacheLine, static_cast<size_t>(stride * height()))))
        image_ = QImage(
            bits, width(), height(), stride, QImage::Format_RGB32, [](void* p) { std::free(p); }, bits);
    else
        image_ = QImage(size(), QImage::Format_RGB32);
    image_.fill(ToColor(background_));
}

void DrawingSurface::setBackgroundColor(Rgb color)
{
    background_ = color;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ToColor(color));
    setPalette(pal);
}

void DrawingSurface::clear()
{
    fitImage();
    if (image_.isNull())
        return;
    image_.fill(ToColor(background_));
    drawn(image_.rect());
}

void DrawingSurface::drawn(const QRect& area)
{
    // One box around everything drawn since the last paint: cheap to keep and, unlike a region
    // of many thin pieces, cheap for Qt to merge and to paint.
    if (area.isEmpty() || pending_.contains(area))
        return;
    pending_ |= area;
    update(pending_);
}

QSize DrawingSurface::sizeHint() const
{
    return QSize(400, 300);
}

void DrawingSurface::paintEvent(QPaintEvent* event)
{
    fitImage();
    if (image_.isNull())
        return;
    QPainter painter(this);
    for (const QRect& area : event->region())
        painter.drawImage(area.topLeft(), image_, area);
    // Qt paints everything it has pending for the widget at once.
    pending_ = QRect();
}

void DrawingSurface::resizeEvent(QResizeEvent* /*event*/)
{
    // Every canvas operation has ended its painter, so the picture can be replaced here.
    newImage();
    pending_ = rect();
    update();
    emit resized();
}

void DrawingSurface::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    emit mousePressed(event->button(), event->position().toPoint());
}

}  // namespace mirel
