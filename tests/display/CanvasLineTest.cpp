// One-pixel lines, pixel for pixel against the direct formula they must follow (pixel k of a line
// at (a.x + sx·k, a.y + sy·round(k·dy/dx)), halves away from a, end pixel out, dots 3 on 3 off
// running on along a polyline), and the changed area each drawing reports.

#include "display/Canvas.h"

#include <QImage>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

using namespace mirel;

namespace {

// The reference: every pixel computed on its own from k, with a bounds check per pixel.
int ReferenceLine(QImage& image, QPoint a, QPoint b, QRgb ink, const QRgb* gap, int phase)
{
    const long long ax = a.x(), ay = a.y();
    const long long dx = std::llabs(static_cast<long long>(b.x()) - ax);
    const long long dy = std::llabs(static_cast<long long>(b.y()) - ay);
    const int sx = b.x() >= a.x() ? 1 : -1;
    const int sy = b.y() >= a.y() ? 1 : -1;
    const bool xMajor = dx >= dy;
    const long long steps = xMajor ? dx : dy;
    const long long minor = xMajor ? dy : dx;
    if (steps == 0)
        return phase;
    const long long origin = xMajor ? ax : ay;
    const int dir = xMajor ? sx : sy;
    const long long limit = xMajor ? image.width() : image.height();
    const long long kFirst = std::max(dir > 0 ? -origin : origin - (limit - 1), 0LL);
    const long long kLast = std::min(dir > 0 ? (limit - 1) - origin : origin, steps - 1);
    for (long long k = kFirst; k <= kLast; ++k) {
        const long long along = origin + dir * k;
        const auto across = static_cast<long long>((__int128{2} * k * minor + steps) / (__int128{2} * steps));
        const long long x = xMajor ? along : ax + sx * across;
        const long long y = xMajor ? ay + sy * across : along;
        if (x >= 0 && y >= 0 && x < image.width() && y < image.height())
            image.setPixel(static_cast<int>(x), static_cast<int>(y), !gap || (phase + k) % 6 < 3 ? ink : *gap);
    }
    return static_cast<int>((phase + steps) % 6);
}

constexpr QRgb Background = 0xFFFFFFFF;
constexpr QRgb Ink = 0xFF000000;
constexpr QRgb Gap = 0xFF0000FF;

QImage Blank(int w, int h, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(w, h, format);
    image.fill(Background);
    return image;
}

// A picture whose scan lines are longer than its width, as the drawing surface makes them.
QImage Padded(int w, int h)
{
    const int stride = (w + 3) * 4;
    auto* bits = new uchar[static_cast<size_t>(stride) * h];
    QImage image(
        bits, w, h, stride, QImage::Format_RGB32, [](void* p) { delete[] static_cast<uchar*>(p); }, bits);
    image.fill(Background);
    return image;
}

// The box around every pixel that differs from the background.
QRect Changed(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != Background)
                box |= QRect(x, y, 1, 1);
    return box;
}

// Draws `points` as one polyline with the canvas and with the reference, and compares the
// pictures and the reported area.
struct Comparison {
    QImage drawn;
    QImage expected;
    std::vector<QRect> reports;

    Comparison(QImage picture, const std::vector<QPoint>& points, bool dotted)
        : drawn(std::move(picture)), expected(Blank(drawn.width(), drawn.height()))
    {
        Canvas canvas(drawn, {}, [this](const QRect& area) { reports.push_back(area); });
        canvas.setPenColor(Ink & 0xFFFFFF);
        canvas.setBrushColor(Gap & 0xFFFFFF);
        canvas.setPenStyle(dotted ? Canvas::PenStyle::Dotted : Canvas::PenStyle::Solid);
        canvas.polyline(points);
        int phase = 0;
        for (size_t i = 1; i < points.size(); ++i)
            phase = ReferenceLine(expected, points[i - 1], points[i], Ink, dotted ? &Gap : nullptr, phase);
    }
};

std::string Describe(const std::vector<QPoint>& points)
{
    std::string text;
    for (const QPoint& p : points)
        text.append("(").append(std::to_string(p.x())).append(", ").append(std::to_string(p.y())).append(") ");
    return text;
}

// End points of the kinds that go wrong: near the picture, beside it, far off, at the int limits,
// on the same row or column, equal.
class PointSource {
public:
    PointSource(int w, int h) : w_(w), h_(h) {}

    int coordinate(int extent)
    {
        switch (inside_ ? 0 : pick(6)) {
        case 0: return uniform(0, extent - 1);
        case 1: return uniform(-3, extent + 3);
        case 2: return uniform(-40 * extent, 40 * extent);
        case 3: return uniform(INT_MIN, INT_MAX);
        case 4: return pick(2) ? INT_MIN + pick(3) : INT_MAX - pick(3);
        default: return pick(2) ? -1 - pick(2) : extent + pick(2);
        }
    }

    // Half the polylines lie wholly on the picture, as curves mostly do.
    std::vector<QPoint> polyline(int count)
    {
        inside_ = pick(2) == 0;
        std::vector<QPoint> points{QPoint(coordinate(w_), coordinate(h_))};
        while (static_cast<int>(points.size()) < count) {
            const QPoint last = points.back();
            switch (pick(5)) {
            case 0: points.emplace_back(last.x(), coordinate(h_)); break;  // vertical
            case 1: points.emplace_back(coordinate(w_), last.y()); break;  // horizontal
            case 2: points.push_back(last); break;                         // degenerate
            case 3: {                                                      // slopes 1, 1/2, 2 and near
                const long long d = uniform(-2 * w_, 2 * w_);
                const int ratio[] = {1, 2, -1, 3};
                const QPoint next(Clamped(last.x() + d), Clamped(last.y() + d / ratio[pick(4)] + uniform(-1, 1)));
                points.push_back(inside_ ? QPoint(std::clamp(next.x(), 0, w_ - 1), std::clamp(next.y(), 0, h_ - 1))
                                         : next);
                break;
            }
            default: points.emplace_back(coordinate(w_), coordinate(h_));
            }
        }
        return points;
    }

    int pick(int n) { return uniform(0, n - 1); }

private:
    static int Clamped(long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)); }

    int uniform(long long lo, long long hi)
    {
        return static_cast<int>(std::uniform_int_distribution<long long>(lo, hi)(random_));
    }

    int w_, h_;
    bool inside_ = false;
    std::mt19937 random_{20240607};
};

}  // namespace

TEST(CanvasLineRoutine, RandomLinesAndPolylinesMatchTheFormulaPixelForPixel)
{
    const int w = 37, h = 23;
    // First lines from far off whose dots over the picture follow from their start, then random.
    const std::vector<std::vector<QPoint>> fixed{
        {QPoint(-1000003, 7), QPoint(500, 7)},
        {QPoint(INT_MIN, INT_MIN), QPoint(INT_MAX, INT_MAX)},
        {QPoint(INT_MAX, 0), QPoint(INT_MIN, 20)},
        {QPoint(3, INT_MIN + 5), QPoint(30, INT_MAX - 1)},
    };
    PointSource source(w, h);
    for (int trial = 0; trial < 40000; ++trial) {
        const bool dotted = trial < static_cast<int>(fixed.size()) || trial % 2 == 0;
        const std::vector<QPoint> points = trial < static_cast<int>(fixed.size())
                                               ? fixed[static_cast<size_t>(trial)]
                                               : source.polyline(trial % 5 == 0 ? 2 + source.pick(7) : 2);
        const Comparison c(Padded(w, h), points, dotted);
        ASSERT_EQ(c.drawn, c.expected) << (dotted ? "dotted " : "solid ") << Describe(points);
        // The report is exactly the box around what changed: nothing left out, no needless area.
        ASSERT_EQ(c.reports.size(), 1u);
        ASSERT_EQ(c.reports[0], Changed(c.expected)) << Describe(points);
    }
}

TEST(CanvasLineRoutine, PicturesOfOtherDepthsGetTheSamePixels)
{
    PointSource source(40, 30);
    for (int trial = 0; trial < 300; ++trial) {
        const std::vector<QPoint> points = source.polyline(2 + trial % 4);
        const Comparison c(Blank(40, 30, QImage::Format_RGB16), points, trial % 2 == 0);
        ASSERT_EQ(c.drawn.convertToFormat(QImage::Format_RGB32), c.expected) << Describe(points);
    }
}
