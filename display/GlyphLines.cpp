#include "display/GlyphLines.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace mirel {

void GlyphLines::setFont(const QFont& font)
{
    if (raw_.isValid() && font == font_)
        return;
    font_ = font;
    raw_ = QRawFont::fromFont(font);
    ownPixels_ = (font.styleStrategy() & QFont::NoAntialias) != 0;
    for (Line& line : lines_)
        line.Text.clear();
    slots_.clear();
    pixels_.clear();
}

const GlyphLines::Line& GlyphLines::layOut(const QString& text)
{
    for (const Line& line : lines_)
        if (line.Text == text)
            return line;
    Line& line = lines_[next_];
    next_ = (next_ + 1) % lines_.size();
    line.Text = text;
    line.Laid = false;
    const auto length = static_cast<std::size_t>(text.size());
    line.Glyphs.resize(length);
    line.Positions.resize(length);
    advances_.resize(length);
    int count = static_cast<int>(length);
    if (!raw_.isValid() ||
        !raw_.glyphIndexesForChars(text.constData(), static_cast<int>(length), line.Glyphs.data(), &count) ||
        count != static_cast<int>(length) ||
        std::find(line.Glyphs.begin(), line.Glyphs.end(), 0u) != line.Glyphs.end() ||
        !raw_.advancesForGlyphIndexes(line.Glyphs.data(), advances_.data(), count, QRawFont::KernedAdvances))
        return line;
    double x = 0;
    for (std::size_t i = 0; i < length; ++i) {
        line.Positions[i] = QPointF(x, 0);
        x += advances_[i].x();
    }
    line.Width = x;
    line.Laid = true;
    return line;
}

int GlyphLines::width(const QString& text)
{
    if (text.isEmpty())
        return 0;
    const Line& line = layOut(text);
    return line.Laid ? static_cast<int>(std::lround(line.Width)) : QFontMetrics(font_).horizontalAdvance(text);
}

// Qt paints the glyph once, black on white, with room round it; the black pixels are kept.
int GlyphLines::slotOf(quint32 glyph)
{
    if (glyph >= slots_.size())
        slots_.resize(glyph + 1, -1);
    int& slot = slots_[glyph];
    if (slot >= 0)
        return slot;
    slot = static_cast<int>(pixels_.size());
    GlyphPixels& pixels = pixels_.emplace_back();
    const int room = static_cast<int>(std::ceil(raw_.ascent() + raw_.descent())) + 4;
    QImage picture(3 * room, 3 * room, QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setPen(Qt::black);
        QGlyphRun run;
        run.setRawFont(raw_);
        const QPointF at(0, 0);
        run.setRawData(&glyph, &at, 1);
        painter.drawGlyphRun(QPointF(room, room), run);
    }
    int left = picture.width(), top = picture.height(), right = -1, bottom = -1;
    for (int y = 0; y < picture.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if (row[x] == 0xFFFFFFFFu)
                continue;
            if (row[x] != 0xFF000000u)
                ownPixels_ = false;  // shaded after all: Qt paints every line from now on
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0)
        return slot;
    pixels.Left = left - room;
    pixels.Top = top - room;
    pixels.Width = right - left + 1;
    pixels.Height = bottom - top + 1;
    for (int y = 0; y < pixels.Height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(top + y)) + left;
        for (int x = 0; x < pixels.Width; ++x)
            if (row[x] != 0xFFFFFFFFu)
                pixels.Set.emplace_back(x, y);
    }
    return slot;
}

QRect GlyphLines::writeWithQt(QImage& image, QPoint origin, Rgb colour, const QString& text) const
{
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setFont(font_);
    painter.setPen(QColor::fromRgb(colour));
    painter.drawText(origin, text);
    const QFontMetrics metrics(font_, &image);
    return metrics.boundingRect(text).translated(origin).adjusted(-1, -1, 1, 1) & image.rect();
}

QRect GlyphLines::write(QImage& image, QPoint origin, Rgb colour, const QString& text)
{
    if (text.isEmpty() || image.isNull())
        return {};
    const Line& line = layOut(text);
    if (line.Laid && ownPixels_)
        for (const quint32 glyph : line.Glyphs)
            slotOf(glyph);
    if (!line.Laid || !ownPixels_ || image.depth() != 32)
        return writeWithQt(image, origin, colour, text);
    const QRgb pen = 0xFF000000u | colour;
    const QRect bounds = image.rect();
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    QRect set;
    for (std::size_t i = 0; i < line.Glyphs.size(); ++i) {
        const GlyphPixels& glyph = pixels_[static_cast<std::size_t>(slots_[line.Glyphs[i]])];
        const QRect at(origin.x() + static_cast<int>(std::lround(line.Positions[i].x())) + glyph.Left,
                       origin.y() + glyph.Top, glyph.Width, glyph.Height);
        const QRect shown = at & bounds;
        if (shown.isEmpty())
            continue;
        set |= shown;
        const bool whole = shown == at;
        for (const QPoint p : glyph.Set) {
            const QPoint pixel = at.topLeft() + p;
            if (whole || shown.contains(pixel))
                *reinterpret_cast<QRgb*>(bits + pixel.y() * stride + pixel.x() * qsizetype{4}) = pen;
        }
    }
    return set;
}

}  // namespace mirel
