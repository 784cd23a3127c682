#include "display/CanvasPixels.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdlib>

namespace mirel {

namespace {

// One-pixel lines are drawn as the classic window canvas draws them: the pixel at a is set, the
// pixel at b is not, and along the longer axis every step sets one pixel, the other coordinate
// rounded to the nearest pixel (halves away from a). Pixel k of the line is
//   (a.x + sx·k, a.y + sy·round(k·dy/dx))   (x-major; y-major alike).
// round(k·minor/steps) = floor((2·k·minor + steps) / (2·steps)) is kept as a quotient and a
// remainder, so each step along the line is an addition and a compare.

// The picture a stroke draws on, looked up once for all its segments.
struct Target {
    explicit Target(QImage& image)
        : Image(image),
          Width(image.width()),
          Height(image.height()),
          Bits(image.depth() == 32 ? reinterpret_cast<QRgb*>(image.bits()) : nullptr),
          Stride(image.bytesPerLine() / 4)
    {
    }
    bool holds(QPoint p) const
    {
        return static_cast<unsigned>(p.x()) < static_cast<unsigned>(Width) &&
               static_cast<unsigned>(p.y()) < static_cast<unsigned>(Height);
    }
    QImage& Image;
    int Width;
    int Height;
    QRgb* Bits;             // 32-bit pixels, written directly; null for other depths
    std::ptrdiff_t Stride;  // pixels from one scan line to the next
};

// The bounding box of the pixels an operation set.
struct Bounds {
    int Left = INT_MAX, Top = INT_MAX, Right = INT_MIN, Bottom = INT_MIN;
    void add(QPoint p)
    {
        Left = std::min(Left, p.x()), Right = std::max(Right, p.x());
        Top = std::min(Top, p.y()), Bottom = std::max(Bottom, p.y());
    }
    QRect rect() const { return Left > Right ? QRect() : QRect(QPoint(Left, Top), QPoint(Right, Bottom)); }
};

// The pen's colours along a line, one call a pixel: solid, or dotted with the pattern running on
// from one segment of a polyline to the next. skip() passes over pixels that are not drawn.
struct SolidInk {
    static constexpr bool LeavesGaps = false;
    QRgb Ink;
    QRgb operator()() const { return Ink; }
    void skip(long long) {}
};

struct DottedInk {
    static constexpr bool LeavesGaps = false;
    static constexpr int On = 3;      // 3 pixels in the pen colour,
    static constexpr int Period = 6;  // then 3 in the gap colour
    QRgb Ink;
    QRgb Gap;
    int Dot = 0;  // place in the pattern of the next pixel
    QRgb operator()()
    {
        const QRgb colour = Dot < On ? Ink : Gap;
        Dot = Dot + 1 == Period ? 0 : Dot + 1;
        return colour;
    }
    void skip(long long pixels) { Dot = static_cast<int>((Dot + pixels) % Period); }
};

// Dots over a picture: the dotted pattern with its gaps left as they are (0: no pixel set).
struct DotsInk : DottedInk {
    static constexpr bool LeavesGaps = true;
};

// Walks a line over 32-bit scan lines: an index into the picture's pixels.
class ScanCursor {
public:
    ScanCursor(QRgb* bits, std::ptrdiff_t at, std::ptrdiff_t major, std::ptrdiff_t minor)
        : bits_(bits), at_(at), major_(major), minor_(minor)
    {
    }
    void put(QRgb colour) { bits_[at_] = colour; }
    void major() { at_ += major_; }
    void minor() { at_ += minor_; }

private:
    QRgb* bits_;
    std::ptrdiff_t at_, major_, minor_;
};

// Walks a line over a picture of any other depth, pixel by pixel.
class PixelCursor {
public:
    PixelCursor(QImage& image, QPoint at, QPoint major, QPoint minor)
        : image_(image), at_(at), major_(major), minor_(minor)
    {
    }
    void put(QRgb colour) { image_.setPixel(at_, colour); }
    void major() { at_ += major_; }
    void minor() { at_ += minor_; }

private:
    QImage& image_;
    QPoint at_, major_, minor_;
};

// Sets `count` (at least 1) pixels from the cursor on. `error` is the remainder of the first
// pixel; returns how many times the walk stepped along the minor axis.
template <class Cursor, class Colour>
long long Walk(Cursor cursor, long long count, long long error, long long twiceMinor, long long twiceSteps,
               Colour& colour)
{
    long long carries = 0;
    for (;;) {
        if constexpr (Colour::LeavesGaps) {
            if (const QRgb c = colour())
                cursor.put(c);
        } else {
            cursor.put(colour());
        }
        if (--count == 0)
            return carries;
        cursor.major();
        error += twiceMinor;
        if (error >= twiceSteps) {
            error -= twiceSteps;
            cursor.minor();
            ++carries;
        }
    }
}

// A line with both ends on a 32-bit picture: all of it is there, no clipping. The walk ends on
// b, which is on the picture too.
template <class Colour>
void InsideLine(QRgb* bits, std::ptrdiff_t stride, QPoint a, QPoint b, Colour& colour)
{
    int dx = b.x() - a.x(), dy = b.y() - a.y();
    std::ptrdiff_t stepX = 1, stepY = stride;
    if (dx < 0)
        dx = -dx, stepX = -1;
    if (dy < 0)
        dy = -dy, stepY = -stepY;
    QRgb* pixel = bits + a.y() * stride + a.x();
    const bool xMajor = dx >= dy;
    const int steps = xMajor ? dx : dy, twiceMinor = 2 * (xMajor ? dy : dx), twiceSteps = 2 * steps;
    const std::ptrdiff_t major = xMajor ? stepX : stepY, minor = xMajor ? stepY : stepX;
    Colour pen = colour;    // a local copy: the pixel stores cannot touch it
    if (twiceMinor == 0) {  // along a scan line or a column, as frames and grids are
        for (int n = steps; n > 0; --n, pixel += major)
            *pixel = pen();
        colour = pen;
        return;
    }
    int error = steps;
    for (int n = steps; n > 0; --n) {
        *pixel = pen();
        pixel += major;
        error += twiceMinor;
        if (error >= twiceSteps) {
            error -= twiceSteps;
            pixel += minor;
        }
    }
    colour = pen;
}

// The last pixel a line from a to b sets (a != b): one step short of b, and one across too when
// the last step went across.
QPoint LastPixel(QPoint a, QPoint b)
{
    const int dx = std::abs(b.x() - a.x()), dy = std::abs(b.y() - a.y());
    const int sx = b.x() >= a.x() ? 1 : -1, sy = b.y() >= a.y() ? 1 : -1;
    const bool xMajor = dx >= dy;
    const bool lastAcross = 2 * (xMajor ? dy : dx) > (xMajor ? dx : dy);
    return QPoint(b.x() - (xMajor || lastAcross ? sx : 0), b.y() - (!xMajor || lastAcross ? sy : 0));
}

// Any line: only the part over the picture is walked, however far off its ends lie.
template <class Colour>
QRect ClippedLine(const Target& target, QPoint a, QPoint b, Colour& colour)
{
    const long long dx = std::llabs(static_cast<long long>(b.x()) - a.x());
    const long long dy = std::llabs(static_cast<long long>(b.y()) - a.y());
    const int sx = b.x() >= a.x() ? 1 : -1, sy = b.y() >= a.y() ? 1 : -1;
    const bool xMajor = dx >= dy;
    const long long steps = xMajor ? dx : dy, minor = xMajor ? dy : dx;
    if (steps == 0)
        return {};

    // Along the longer axis: the k whose major coordinate lies over the picture.
    const long long origin = xMajor ? a.x() : a.y();
    const int dir = xMajor ? sx : sy;
    const long long limit = xMajor ? target.Width : target.Height;
    long long first = std::max(dir > 0 ? -origin : origin - (limit - 1), 0LL);
    long long last = std::min(dir > 0 ? (limit - 1) - origin : origin, steps - 1);

    // Across: the minor offset q(k) must stay within [lo, hi]; q grows with k, so each bound is
    // one division (in 128 bits, as steps·hi may pass 2^63).
    const long long from = xMajor ? a.y() : a.x();
    const int across = xMajor ? sy : sx;
    const long long acrossLimit = xMajor ? target.Height : target.Width;
    const long long lo = across > 0 ? -from : from - (acrossLimit - 1);
    const long long hi = across > 0 ? (acrossLimit - 1) - from : from;
    const __int128 twiceMinor = __int128{2} * minor;
    if (hi < 0 || (lo > 0 && minor == 0))
        last = -1;
    else if (lo > 0)  // q(k) >= lo  <=>  2·k·minor >= steps·(2·lo − 1)
        first = std::max(first, static_cast<long long>((__int128{steps} * (2 * lo - 1) + twiceMinor - 1) / twiceMinor));
    if (minor > 0 && hi >= 0)  // q(k) <= hi  <=>  2·k·minor < steps·(2·hi + 1)
        last = std::min(last, static_cast<long long>((__int128{steps} * (2 * hi + 1) - 1) / twiceMinor));
    if (first > last) {
        colour.skip(steps);
        return {};
    }

    const __int128 numerator = __int128{2} * first * minor + steps;
    const auto q = static_cast<long long>(numerator / (2 * steps));
    const auto error = static_cast<long long>(numerator % (2 * steps));
    const long long along = origin + dir * first, side = from + across * q;
    const QPoint start(static_cast<int>(xMajor ? along : side), static_cast<int>(xMajor ? side : along));
    const long long count = last - first + 1;
    colour.skip(first);
    long long carries;
    if (target.Bits) {
        const std::ptrdiff_t stepX = sx, stepY = sy * target.Stride;
        carries = Walk(ScanCursor(target.Bits, start.y() * target.Stride + start.x(), xMajor ? stepX : stepY,
                                  xMajor ? stepY : stepX),
                       count, error, 2 * minor, 2 * steps, colour);
    } else {
        const QPoint stepX(sx, 0), stepY(0, sy);
        carries = Walk(PixelCursor(target.Image, start, xMajor ? stepX : stepY, xMajor ? stepY : stepX), count, error,
                       2 * minor, 2 * steps, colour);
    }
    colour.skip(steps - 1 - last);
    const long long moves = count - 1;
    const QPoint end(static_cast<int>(start.x() + sx * (xMajor ? moves : carries)),
                     static_cast<int>(start.y() + sy * (xMajor ? carries : moves)));
    return QRect(QPoint(std::min(start.x(), end.x()), std::min(start.y(), end.y())),
                 QPoint(std::max(start.x(), end.x()), std::max(start.y(), end.y())));
}

// A one-pixel polyline, without its last pixel. Returns the box around the pixels it set.
template <class Colour>
QRect ThinPolyline(QImage& image, const QPoint* points, int count, Colour colour)
{
    const Target target(image);
    while (count > 1 && points[count - 1] == points[count - 2])
        --count;  // lines of no length at the end draw nothing
    if (count < 2)
        return {};

    // All on the picture, as curves mostly are: every point but the last is the start pixel of a
    // line drawn (a point repeated starts the next line that moves), and the last line ends one
    // pixel short of the last point.
    if (target.Bits && std::all_of(points, points + count, [&](QPoint p) { return target.holds(p); })) {
        for (int i = 1; i < count; ++i)
            InsideLine(target.Bits, target.Stride, points[i - 1], points[i], colour);
        Bounds bounds;
        for (int i = 0; i < count - 1; ++i)
            bounds.add(points[i]);
        bounds.add(LastPixel(points[count - 2], points[count - 1]));
        return bounds.rect();
    }

    QRect drawn;
    for (int i = 1; i < count; ++i)
        drawn |= ClippedLine(target, points[i - 1], points[i], colour);
    return drawn;
}

}  // namespace

QRect DrawThinPolyline(QImage& image, const QPoint* points, int count, QRgb ink, const QRgb* gap)
{
    if (gap && *gap == 0)
        return ThinPolyline(image, points, count, DotsInk{{ink, 0}});
    if (gap)
        return ThinPolyline(image, points, count, DottedInk{ink, *gap});
    return ThinPolyline(image, points, count, SolidInk{ink});
}

QRect PointsArea(const QImage& image, const QPoint* points, int count, int reach)
{
    Bounds bounds;
    for (int i = 0; i < count; ++i)
        bounds.add(points[i]);
    const long long r = reach;
    return OnPicture(image, bounds.Left - r, bounds.Top - r, bounds.Right + r + 1, bounds.Bottom + r + 1);
}

QRect OnPicture(const QImage& image, long long left, long long top, long long right, long long bottom)
{
    left = std::max(left, 0LL), top = std::max(top, 0LL);
    right = std::min<long long>(right, image.width()), bottom = std::min<long long>(bottom, image.height());
    if (left >= right || top >= bottom)
        return {};
    return QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                 static_cast<int>(bottom - top));
}

}  // namespace mirel
