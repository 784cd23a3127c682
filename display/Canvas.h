#pragma once
// Immediate drawing on a surface's picture, in the manner of a classic window canvas: a pen
// (colour, width, solid or dotted), a brush colour, a text colour and a font, a current position
// for moveTo/lineTo, polylines, rectangle fills and texts on an opaque background.
//
// Nothing is antialiased, so a curve drawn again with the same points in the background colour
// removes every pixel it set: the displays erase old curves that way.
//
// One-pixel lines (with the classic rules: start pixel in, end pixel out) and the fills and copies
// of 32-bit pictures are written straight into the scan lines; wider lines and texts go through
// a QPainter. Every operation paints at once into the image and ends its painter before it
// returns; no QPainter stays open on the image, so the owner may resize, copy or save it between
// calls. Each operation tells the owner which part of the picture it changed.

#include "common/DisplayPalette.h"
#include "common/ScreenPoint.h"

#include <QFont>
#include <QFontMetrics>
#include <QPoint>
#include <QRect>
#include <QString>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <ranges>
#include <span>
#include <vector>

class QImage;

namespace mirel {
class GlyphLines;
}

namespace mirel {

// A point type with plain integer fields x and y.
template <class Point>
concept XYPoint = requires(const Point& p)
{
    {
        p.x
        } -> std::convertible_to<int>;
    {
        p.y
        } -> std::convertible_to<int>;
};

class Canvas {
public:
    enum class PenStyle { Solid, Dotted, Dots };

    // Draws into `image`, which must outlive the canvas (it may be reassigned, e.g. on resize).
    // `beforeDrawing` runs before every drawing operation (the owner may bring the image up to
    // date there), `afterDrawing` after every operation on a picture that is not null.
    explicit Canvas(QImage& image, std::function<void()> beforeDrawing = {}, std::function<void()> afterDrawing = {});
    // As above, and `afterDrawing` learns the part of the picture the operation may have changed:
    // a rectangle within the picture that holds every pixel set, empty when none was.
    Canvas(QImage& image, std::function<void()> beforeDrawing, std::function<void(const QRect&)> afterDrawing);

    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // Pen: outlines, lines and polylines. Initially black, 1 pixel, solid.
    // A dotted pen is 1 pixel wide and opaque: 3 pixels in the pen colour, 3 in the brush colour,
    // the pattern starting afresh at each lineTo and running on along a polyline. As with
    // cosmetic pens of the classic API, a dotted pen wider than 1 pixel draws solid. Dots are the
    // dotted pattern with the gaps left as they are: a grid over a picture.
    void setPenColor(Rgb color) { penColor_ = color; }
    Rgb penColor() const { return penColor_; }
    void setPenWidth(int width) { penWidth_ = width < 1 ? 1 : width; }
    int penWidth() const { return penWidth_; }
    void setPenStyle(PenStyle style) { penStyle_ = style; }
    PenStyle penStyle() const { return penStyle_; }

    // Brush: rectangle fills, the background of texts and the gaps of dotted lines. Initially white.
    void setBrushColor(Rgb color) { brushColor_ = color; }
    Rgb brushColor() const { return brushColor_; }

    // Colour of the glyphs of textOut. Initially black.
    void setTextColor(Rgb color) { textColor_ = color; }
    Rgb textColor() const { return textColor_; }

    // Font of textOut and of the measurements. Initially displayFont(false).
    void setFont(const QFont& font) { font_ = font; }
    const QFont& font() const { return font_; }
    // Switches the current font between its normal and bold style, keeping face and size.
    void setBold(bool bold) { font_.setBold(bold); }
    bool bold() const { return font_.bold(); }

    // Current position. lineTo draws from it to (x, y), without the end pixel (so a closed
    // outline sets each corner once), and makes (x, y) the current position.
    void moveTo(int x, int y) { position_ = QPoint(x, y); }
    void lineTo(int x, int y);
    QPoint position() const { return position_; }

    // Lines through consecutive points, without the last pixel; the current position is neither
    // used nor changed. Fewer than two points draw nothing. Points are QPoints, or any struct with
    // integer fields x and y (ScreenPoint and its likes), given as a contiguous range or as a
    // pointer and a count.
    void polyline(std::span<const QPoint> points);
    template <XYPoint Point>
    void polyline(const Point* points, std::size_t count);
    template <std::ranges::contiguous_range Range>
    requires XYPoint<std::ranges::range_value_t<Range>>
    void polyline(const Range& points) { polyline(std::ranges::data(points), std::ranges::size(points)); }

    // Fills left <= x < right, top <= y < bottom with the brush colour.
    void fillRect(int left, int top, int right, int bottom);
    // Fills the whole image with the brush colour.
    void clear();
    // Copies the pixels of `area` from `source` to the same place of the picture: a prepared
    // background put back under old curves. Parts of `area` outside either picture are left out.
    void copyRect(const QImage& source, const QRect& area);
    // Puts `rows` rows of `width` pixels (0xffRRGGBB, one row after the other in `pixels`) with
    // the top-left one at (left, top); rows and columns outside the picture are left out.
    void putPixels(int left, int top, int width, int rows, const std::uint32_t* pixels);

    // Text whose cell (textWidth × textHeight) has its top-left corner at (x, y); the cell is
    // first filled with the brush colour, then the glyphs are drawn in the text colour.
    void textOut(int x, int y, const QString& text);
    int textWidth(const QString& text) const;
    int textHeight(const QString& text) const;
    // The glyphs of `text` alone, in the text colour and the canvas's font, laid out by `glyphs`,
    // with the baseline's left end at (x, baseline): for lines written anew on every block.
    void glyphsOut(int x, int baseline, GlyphLines& glyphs, const QString& text);

private:
    void stroke(const QPoint* points, int count);
    bool prepare();
    void changed(const QRect& area);
    QFontMetrics fontMetrics() const;

    QImage& image_;
    std::function<void()> before_;
    std::function<void(const QRect&)> after_;
    Rgb penColor_ = 0x000000;
    int penWidth_ = 1;
    PenStyle penStyle_ = PenStyle::Solid;
    Rgb brushColor_ = 0xFFFFFF;
    Rgb textColor_ = 0x000000;
    QFont font_;
    QPoint position_;
    std::vector<QPoint> scratch_;  // polyline points converted to QPoint, kept between calls
};

template <XYPoint Point>
void Canvas::polyline(const Point* points, std::size_t count)
{
    if (count < 2)
        return;
    scratch_.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        scratch_[i] = QPoint(static_cast<int>(points[i].x), static_cast<int>(points[i].y));
    stroke(scratch_.data(), static_cast<int>(count));
}

}  // namespace mirel
