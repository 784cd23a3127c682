#include "DrawingSurface.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QResizeEvent>

namespace mirel {

namespace {
QColor ToColor(Rgb rgb)
{
    return QColor(static_cast<int>(RedOf(rgb)), static_cast<int>(GreenOf(rgb)), static_cast<int>(BlueOf(rgb)));
}
}  // namespace

DrawingSurface::DrawingSurface(QWidget* parent)
    : QWidget(parent), m_canvas(m_image, [this] { fitImage(); }, [this] { update(); })
{
    // The picture covers every pixel, so Qt need not erase anything before a paint event.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setBackgroundColor(m_background);
}

const QImage& DrawingSurface::image() const
{
    fitImage();
    return m_image;
}

void DrawingSurface::fitImage() const
{
    if (m_image.size() != size() && !(m_image.isNull() && size().isEmpty()))
        newImage();
}

void DrawingSurface::newImage() const
{
    if (size().isEmpty()) {
        m_image = QImage();
        return;
    }
    m_image = QImage(size(), QImage::Format_RGB32);
    m_image.fill(ToColor(m_background));
}

void DrawingSurface::setBackgroundColor(Rgb color)
{
    m_background = color;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ToColor(color));
    setPalette(pal);
}

void DrawingSurface::clear()
{
    fitImage();
    if (m_image.isNull())
        return;
    m_image.fill(ToColor(m_background));
    update();
}

QSize DrawingSurface::sizeHint() const
{
    return QSize(400, 300);
}

void DrawingSurface::paintEvent(QPaintEvent* event)
{
    fitImage();
    if (m_image.isNull())
        return;
    QPainter painter(this);
    const QRect area = event->rect();
    painter.drawImage(area.topLeft(), m_image, area);
}

void DrawingSurface::resizeEvent(QResizeEvent* /*event*/)
{
    // Every canvas operation has ended its painter, so the picture can be replaced here.
    newImage();
    update();
    emit resized();
}

void DrawingSurface::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    emit mousePressed(event->button(), event->position().toPoint());
}

}  // namespace mirel
