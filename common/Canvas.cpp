#include "Canvas.h"

#include "AppFont.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cstdlib>

namespace mirel {

namespace {

QColor ToColor(Rgb rgb)
{
    return QColor(static_cast<int>(RedOf(rgb)), static_cast<int>(GreenOf(rgb)), static_cast<int>(BlueOf(rgb)));
}

// A painter on the image with every kind of smoothing off.
class ImagePainter : public QPainter {
public:
    explicit ImagePainter(QImage& image) : QPainter(&image)
    {
        setRenderHint(QPainter::Antialiasing, false);
        setRenderHint(QPainter::TextAntialiasing, false);
        setRenderHint(QPainter::SmoothPixmapTransform, false);
    }
};

// Sets single pixels of a picture, ignoring those outside it.
class PixelWriter {
public:
    explicit PixelWriter(QImage& image) : m_image(image), m_width(image.width()), m_height(image.height())
    {
        if (image.depth() == 32) {
            m_bits = reinterpret_cast<QRgb*>(image.bits());
            m_stride = image.bytesPerLine() / 4;
        }
    }
    int width() const { return m_width; }
    int height() const { return m_height; }
    void set(long long x, long long y, QRgb color)
    {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height)
            return;
        if (m_bits)
            m_bits[y * m_stride + x] = color;
        else
            m_image.setPixel(static_cast<int>(x), static_cast<int>(y), color);
    }

private:
    QImage& m_image;
    int m_width;
    int m_height;
    QRgb* m_bits = nullptr;
    long long m_stride = 0;
};

// A one-pixel line from a to b as the classic window canvas draws it: the pixel at a is set, the
// pixel at b is not, and along the longer axis every step sets one pixel, the other coordinate
// rounded to the nearest pixel. Pixel k of the line is
//   (a.x + sx·k, a.y + sy·round(k·dy/dx))   (x-major; y-major alike),
// computed directly from k, so only the part that lies over the picture is walked, however far
// outside the end points are. With `gap` the line is dotted: pixels whose pattern index
// (phase + k) falls in the off half of the dot period get the gap colour. Returns the phase for the
// next segment, so that the dots run on along a polyline.
int PlotLine(PixelWriter& out, QPoint a, QPoint b, QRgb ink, const QRgb* gap, int phase)
{
    constexpr int kOn = 3;
    constexpr int kPeriod = 6;
    const long long ax = a.x(), ay = a.y();
    const long long dx = std::llabs(static_cast<long long>(b.x()) - ax);
    const long long dy = std::llabs(static_cast<long long>(b.y()) - ay);
    const int sx = b.x() >= a.x() ? 1 : -1;
    const int sy = b.y() >= a.y() ? 1 : -1;
    const bool xMajor = dx >= dy;
    const long long steps = xMajor ? dx : dy;  // pixels of the line
    const long long minor = xMajor ? dy : dx;
    if (steps == 0)
        return phase;

    // The range of k whose major coordinate lies over the picture.
    const long long origin = xMajor ? ax : ay;
    const int dir = xMajor ? sx : sy;
    const long long limit = xMajor ? out.width() : out.height();
    long long kFirst = dir > 0 ? -origin : origin - (limit - 1);
    long long kLast = dir > 0 ? (limit - 1) - origin : origin;
    kFirst = std::max(kFirst, 0LL);
    kLast = std::min(kLast, steps - 1);

    // Lines within ±2^30 pixels (all but absurd ones) need no 128-bit arithmetic, and straight ones
    // no division at all.
    constexpr long long kNarrow = 1LL << 30;
    const bool narrow = steps < kNarrow && minor < kNarrow;
    for (long long k = kFirst; k <= kLast; ++k) {
        const long long along = origin + dir * k;
        // Rounded to nearest, halves away from a; 128 bits where k·minor may pass 2^63.
        const long long across = minor == 0 ? 0
                                 : narrow   ? (2 * k * minor + steps) / (2 * steps)
                                            : static_cast<long long>((__int128{2} * k * minor + steps) / (__int128{2} * steps));
        const bool dot = !gap || (phase + k) % kPeriod < kOn;
        const QRgb color = dot ? ink : *gap;
        if (xMajor)
            out.set(along, ay + sy * across, color);
        else
            out.set(ax + sx * across, along, color);
    }
    return static_cast<int>((phase + steps) % kPeriod);
}

}  // namespace

Canvas::Canvas(QImage& image, std::function<void()> beforeDrawing, std::function<void()> afterDrawing)
    : m_image(image), m_before(std::move(beforeDrawing)), m_after(std::move(afterDrawing)),
      m_font(displayFont(false))
{
}

bool Canvas::prepare()
{
    if (m_before)
        m_before();
    return !m_image.isNull();
}

void Canvas::changed()
{
    if (m_after)
        m_after();
}

void Canvas::lineTo(int x, int y)
{
    const QPoint line[2] = {m_position, QPoint(x, y)};
    m_position = line[1];
    stroke(line, 2);
}

void Canvas::polyline(std::span<const QPoint> points)
{
    stroke(points.data(), static_cast<int>(points.size()));
}

void Canvas::stroke(const QPoint* points, int count)
{
    if (count < 2 || !prepare())
        return;
    if (m_penWidth == 1) {
        PixelWriter writer(m_image);
        const QRgb ink = 0xFF000000u | m_penColor;
        const QRgb gap = 0xFF000000u | m_brushColor;
        int phase = 0;
        for (int i = 1; i < count; ++i) {
            if (m_penStyle == PenStyle::Dotted)
                phase = PlotLine(writer, points[i - 1], points[i], ink, &gap, phase);
            else
                PlotLine(writer, points[i - 1], points[i], ink, nullptr, 0);
        }
    } else {
        // Wide curves: round ends and joins, as wide pens of the classic canvas draw them.
        ImagePainter painter(m_image);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(ToColor(m_penColor), m_penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPolyline(points, count);
        painter.end();
    }
    changed();
}

void Canvas::fillRect(int left, int top, int right, int bottom)
{
    if (right <= left || bottom <= top || !prepare())
        return;
    ImagePainter painter(m_image);
    painter.fillRect(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)), ToColor(m_brushColor));
    painter.end();
    changed();
}

void Canvas::clear()
{
    if (!prepare())
        return;
    m_image.fill(ToColor(m_brushColor));
    changed();
}

void Canvas::textOut(int x, int y, const QString& text)
{
    if (text.isEmpty() || !prepare())
        return;
    const QFontMetrics metrics = fontMetrics();
    ImagePainter painter(m_image);
    painter.fillRect(QRect(x, y, metrics.horizontalAdvance(text), metrics.height()), ToColor(m_brushColor));
    painter.setFont(m_font);
    painter.setPen(ToColor(m_textColor));
    painter.drawText(QPoint(x, y + metrics.ascent()), text);
    painter.end();
    changed();
}

QFontMetrics Canvas::fontMetrics() const
{
    // Measured for the image, which is what the glyphs are drawn on.
    return m_image.isNull() ? QFontMetrics(m_font) : QFontMetrics(m_font, &m_image);
}

int Canvas::textWidth(const QString& text) const
{
    return fontMetrics().horizontalAdvance(text);
}

int Canvas::textHeight(const QString& /*text*/) const
{
    return fontMetrics().height();
}

}  // namespace mirel
