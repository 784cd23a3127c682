#include "display/Canvas.h"

#include "display/AppFont.h"
#include "display/CanvasPixels.h"
#include "display/GlyphLines.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cstring>

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

// A report of the changed area for an owner that only wants to know that something changed.
std::function<void(const QRect&)> ReportAnyChange(std::function<void()> afterDrawing)
{
    if (!afterDrawing)
        return {};
    return [after = std::move(afterDrawing)](const QRect&) { after(); };
}

}  // namespace

Canvas::Canvas(QImage& image, std::function<void()> beforeDrawing, std::function<void()> afterDrawing)
    : Canvas(image, std::move(beforeDrawing), ReportAnyChange(std::move(afterDrawing)))
{
}

Canvas::Canvas(QImage& image, std::function<void()> beforeDrawing, std::function<void(const QRect&)> afterDrawing)
    : image_(image), before_(std::move(beforeDrawing)), after_(std::move(afterDrawing)), font_(displayFont(false))
{
}

bool Canvas::prepare()
{
    if (before_)
        before_();
    return !image_.isNull();
}

void Canvas::changed(const QRect& area)
{
    if (after_)
        after_(area);
}

void Canvas::lineTo(int x, int y)
{
    const QPoint line[2] = {position_, QPoint(x, y)};
    position_ = line[1];
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
    if (penWidth_ == 1) {
        const QRgb gap = penStyle_ == PenStyle::Dots ? 0 : 0xFF000000u | brushColor_;
        changed(DrawThinPolyline(image_, points, count, 0xFF000000u | penColor_,
                                 penStyle_ == PenStyle::Solid ? nullptr : &gap));
        return;
    }
    // Wide curves: round ends and joins, as wide pens of the classic canvas draw them.
    ImagePainter painter(image_);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(ToColor(penColor_), penWidth_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(points, count);
    painter.end();
    // A round end reaches half the width beyond its point; a pixel more for the rasteriser.
    changed(PointsArea(image_, points, count, penWidth_ / 2 + 2));
}

void Canvas::fillRect(int left, int top, int right, int bottom)
{
    if (right <= left || bottom <= top || !prepare())
        return;
    const QRect area = OnPicture(image_, left, top, right, bottom);
    if (image_.depth() == 32) {
        const QRgb colour = 0xFF000000u | brushColor_;
        for (int y = area.top(); y <= area.bottom(); ++y)
            std::fill_n(reinterpret_cast<QRgb*>(image_.scanLine(y)) + area.left(), area.width(), colour);
    } else {
        ImagePainter painter(image_);
        painter.fillRect(area, ToColor(brushColor_));
        painter.end();
    }
    changed(area);
}

void Canvas::clear()
{
    if (!prepare())
        return;
    image_.fill(ToColor(brushColor_));
    changed(image_.rect());
}

void Canvas::copyRect(const QImage& source, const QRect& area)
{
    if (!prepare())
        return;
    const QRect part = area & image_.rect() & source.rect();
    if (source.format() == image_.format() && image_.depth() == 32) {
        const auto bytes = static_cast<size_t>(part.width()) * 4;
        for (int y = part.top(); y <= part.bottom(); ++y)
            std::memcpy(image_.scanLine(y) + part.left() * 4, source.constScanLine(y) + part.left() * 4, bytes);
    } else if (!part.isEmpty()) {
        ImagePainter painter(image_);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(part.topLeft(), source, part);
        painter.end();
    }
    changed(part);
}

void Canvas::putPixels(int left, int top, int width, int rows, const std::uint32_t* pixels)
{
    if (!prepare())
        return;
    const QRect part = QRect(left, top, width, rows) & image_.rect();
    if (part.isEmpty())
        return;
    if (image_.format() == QImage::Format_RGB32 || image_.format() == QImage::Format_ARGB32) {
        const auto bytes = static_cast<std::size_t>(part.width()) * 4;
        for (int y = part.top(); y <= part.bottom(); ++y)
            std::memcpy(image_.scanLine(y) + part.left() * 4,
                        pixels + static_cast<std::ptrdiff_t>(y - top) * width + (part.left() - left), bytes);
    } else {
        const QImage source(reinterpret_cast<const uchar*>(pixels), width, rows, width * 4, QImage::Format_RGB32);
        ImagePainter painter(image_);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QPoint(left, top), source);
        painter.end();
    }
    changed(part);
}

void Canvas::textOut(int x, int y, const QString& text)
{
    if (text.isEmpty() || !prepare())
        return;
    const QFontMetrics metrics = fontMetrics();
    const long long left = x, top = y, baseline = top + metrics.ascent();
    const QRect cell = OnPicture(image_, left, top, left + metrics.horizontalAdvance(text), top + metrics.height());
    // Glyphs may reach out of their cell (slanted or overhanging letters): a pixel round them.
    const QRect ink = metrics.boundingRect(text);
    const QRect glyphs = OnPicture(image_, left + ink.left() - 1, baseline + ink.top() - 1, left + ink.right() + 2,
                                   baseline + ink.bottom() + 2);
    if (!cell.isEmpty() || !glyphs.isEmpty()) {  // near the picture, so no coordinate overflows
        ImagePainter painter(image_);
        painter.fillRect(cell, ToColor(brushColor_));
        painter.setFont(font_);
        painter.setPen(ToColor(textColor_));
        painter.drawText(QPoint(x, y + metrics.ascent()), text);
        painter.end();
    }
    changed(cell | glyphs);
}

void Canvas::glyphsOut(int x, int baseline, GlyphLines& glyphs, const QString& text)
{
    if (text.isEmpty() || !prepare())
        return;
    glyphs.setFont(font_);
    changed(glyphs.write(image_, QPoint(x, baseline), textColor_, text));
}

QFontMetrics Canvas::fontMetrics() const
{
    // Measured for the image, which is what the glyphs are drawn on.
    return image_.isNull() ? QFontMetrics(font_) : QFontMetrics(font_, &image_);
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
