// Drawing on a picture: nothing is smoothed, so drawing the same figures again in the background
// colour must restore the background exactly; dotted lines are opaque; texts cover their cell.

#include "display/Canvas.h"
#include "common/DisplayPalette.h"
#include "common/ScreenPoint.h"
#include "display/AppFont.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPolygon>
#include <array>
#include <climits>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

using namespace mirel;

namespace {

QImage MakeImage(int w, int h, Rgb fill)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor::fromRgb(fill));
    return image;
}

Rgb At(const QImage& image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFF;
}

// How many pixels of each colour the picture holds.
std::map<Rgb, int> Histogram(const QImage& image)
{
    std::map<Rgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[At(image, x, y)];
    return counts;
}

// A point type of another module: only its fields x and y matter to the canvas.
struct OtherPoint {
    std::int32_t x;
    std::int32_t y;
};

// Everything a display draws in one refresh, in the given colours: a frame outline, a dotted grid
// with a solid centre line, two curves (steep, flat, diagonal and backtracking segments, points
// outside the picture) and labels.
void DrawScene(Canvas& canvas, const DisplayPalette& c, int curveWidth)
{
    canvas.setBrushColor(c.Background);
    canvas.setPenWidth(1);
    canvas.setPenStyle(Canvas::PenStyle::Solid);
    canvas.setPenColor(c.Frame);
    canvas.moveTo(0, 0);
    canvas.lineTo(199, 0);
    canvas.lineTo(199, 119);
    canvas.lineTo(0, 119);
    canvas.lineTo(0, 0);

    canvas.setPenColor(c.Grid);
    canvas.setPenStyle(Canvas::PenStyle::Dotted);
    for (int i = 1; i < 8; ++i) {
        canvas.moveTo(20 + 20 * i, 10);
        canvas.lineTo(20 + 20 * i, 110);
    }
    for (int i = 1; i < 6; ++i) {
        canvas.moveTo(20, 10 + 17 * i);
        canvas.lineTo(180, 10 + 17 * i);
    }
    canvas.setPenStyle(Canvas::PenStyle::Solid);
    canvas.setPenColor(c.Frame);
    canvas.moveTo(100, 10);
    canvas.lineTo(100, 110);

    canvas.setPenWidth(curveWidth);
    std::vector<ScreenPoint> a;
    for (int x = 20; x <= 180; x += 3)
        a.push_back({x, 60 + ((x * 37) % 71) - 35});
    canvas.setPenColor(c.ChannelA);
    canvas.polyline(a);
    const std::array<OtherPoint, 7> b{{{20, 100}, {60, 20}, {61, 105}, {40, 50}, {180, 51}, {250, 60}, {-30, -8}}};
    canvas.setPenColor(c.ChannelB);
    canvas.polyline(b);
    canvas.polyline(QPolygon({QPoint(30, 30), QPoint(170, 90), QPoint(170, 30)}));

    canvas.setTextColor(c.ChannelA);
    canvas.setBold(true);
    canvas.textOut(8, 2, QStringLiteral("Канал A (мВ)"));
    canvas.setBold(false);
    canvas.setTextColor(c.Frame);
    canvas.textOut(190, 105, QStringLiteral("-1.6"));  // runs out of the picture
}

DisplayPalette AllIn(Rgb background)
{
    return {background, background, background, background, background};
}

}  // namespace

// --- Erasing by drawing again -------------------------------------------------------------------

class EraseByRedraw : public ::testing::TestWithParam<std::tuple<DisplayPalette, int>> {};

TEST_P(EraseByRedraw, LeavesOnlyTheBackground)
{
    const auto [scheme, width] = GetParam();
    QImage image = MakeImage(200, 120, scheme.Background);
    Canvas canvas(image);

    DrawScene(canvas, scheme, width);
    const std::map<Rgb, int> drawn = Histogram(image);
    // Only the scheme's own colours: a smoothed edge would leave blends of them.
    const std::set<Rgb> allowed{scheme.Background, scheme.ChannelA, scheme.ChannelB, scheme.Grid, scheme.Frame};
    for (const auto& [color, count] : drawn)
        EXPECT_TRUE(allowed.contains(color)) << std::hex << color << " appears " << std::dec << count << " times";
    for (Rgb color : {scheme.ChannelA, scheme.ChannelB, scheme.Grid, scheme.Frame})
        EXPECT_GT(drawn.count(color), 0u) << std::hex << color << " was never drawn";

    DrawScene(canvas, AllIn(scheme.Background), width);
    const std::map<Rgb, int> erased = Histogram(image);
    ASSERT_EQ(erased.size(), 1u);
    EXPECT_EQ(erased.begin()->first, scheme.Background);
}

INSTANTIATE_TEST_SUITE_P(SchemesAndWidths, EraseByRedraw,
                         ::testing::Combine(::testing::Values(WhiteScheme, BlackScheme), ::testing::Values(1, 2, 3)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param) == WhiteScheme ? "White" : "Black") + "Width" +
                                    std::to_string(std::get<1>(info.param));
                         });

TEST(EraseOnRefresh, OldCurveGoesWhileTheNewOneStays)
{
    // A refresh: erase the previous curve, draw the next one that crosses it.
    QImage image = MakeImage(100, 60, WhiteScheme.Background);
    Canvas canvas(image);
    const std::vector<ScreenPoint> previous{{0, 10}, {50, 50}, {99, 10}};
    const std::vector<ScreenPoint> next{{0, 50}, {50, 10}, {99, 50}};
    canvas.setPenColor(WhiteScheme.ChannelA);
    canvas.polyline(previous);

    QImage expected = MakeImage(100, 60, WhiteScheme.Background);
    Canvas reference(expected);
    reference.setPenColor(WhiteScheme.ChannelA);
    reference.polyline(next);

    canvas.setPenColor(WhiteScheme.Background);
    canvas.polyline(previous);
    canvas.setPenColor(WhiteScheme.ChannelA);
    canvas.polyline(next);
    EXPECT_EQ(image, expected);
}

// --- Pen and lines ------------------------------------------------------------------------------

TEST(CanvasLines, LineToLeavesOutTheEndPixelAndMovesThePosition)
{
    QImage image = MakeImage(20, 10, 0xFFFFFF);
    Canvas canvas(image);
    canvas.moveTo(2, 3);
    canvas.lineTo(10, 3);
    EXPECT_EQ(canvas.position(), QPoint(10, 3));
    for (int x = 0; x < 20; ++x)
        EXPECT_EQ(At(image, x, 3), (x >= 2 && x < 10) ? 0x000000u : 0xFFFFFFu) << "x = " << x;
    EXPECT_EQ(Histogram(image)[0x000000], 8);
}

TEST(CanvasLines, ClosedOutlineSetsEveryEdgePixelAndCorner)
{
    QImage image = MakeImage(12, 10, 0xFFFFFF);
    Canvas canvas(image);
    canvas.moveTo(1, 1);
    canvas.lineTo(10, 1);
    canvas.lineTo(10, 8);
    canvas.lineTo(1, 8);
    canvas.lineTo(1, 1);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool onEdge = (x >= 1 && x <= 10 && (y == 1 || y == 8)) || (y >= 1 && y <= 8 && (x == 1 || x == 10));
            EXPECT_EQ(At(image, x, y), onEdge ? 0x000000u : 0xFFFFFFu) << x << "," << y;
        }
}

TEST(CanvasLines, PolylineNeitherUsesNorMovesThePositionAndNeedsTwoPoints)
{
    QImage image = MakeImage(20, 10, 0xFFFFFF);
    Canvas canvas(image);
    canvas.moveTo(5, 5);
    const std::vector<ScreenPoint> one{{3, 3}};
    canvas.polyline(one);
    canvas.polyline(std::vector<ScreenPoint>{});
    EXPECT_EQ(Histogram(image).size(), 1u);

    canvas.polyline(std::vector<QPoint>{QPoint(0, 0), QPoint(4, 0)});
    EXPECT_EQ(canvas.position(), QPoint(5, 5));
    EXPECT_EQ(Histogram(image)[0x000000], 4);
    EXPECT_EQ(At(image, 5, 5), 0xFFFFFFu);
}

TEST(CanvasLines, DottedLineIsOpaqueWithPenAndBrushColoursOnly)
{
    const Rgb background = 0xFFFFFF, brush = 0x102030, pen = 0xC0C0C0;
    QImage image = MakeImage(60, 40, background);
    Canvas canvas(image);
    canvas.setBrushColor(brush);
    canvas.setPenColor(pen);
    canvas.setPenStyle(Canvas::PenStyle::Dotted);
    canvas.moveTo(5, 10);
    canvas.lineTo(55, 10);  // 50 pixels, x 5..54
    canvas.moveTo(30, 15);
    canvas.lineTo(30, 35);  // 20 pixels, y 15..34

    std::map<Rgb, int> onLine;
    for (int x = 5; x < 55; ++x)
        ++onLine[At(image, x, 10)];
    for (int y = 15; y < 35; ++y)
        ++onLine[At(image, 30, y)];
    EXPECT_EQ(onLine.size(), 2u);
    EXPECT_GT(onLine[pen], 10);
    EXPECT_GT(onLine[brush], 10);
    // Nothing beside the lines was touched.
    const std::map<Rgb, int> all = Histogram(image);
    EXPECT_EQ(all.at(background), 60 * 40 - 70);
}

TEST(CanvasLines, DottedPenWiderThanOnePixelDrawsSolid)
{
    QImage image = MakeImage(40, 20, 0xFFFFFF);
    Canvas canvas(image);
    canvas.setBrushColor(0x0000FF);
    canvas.setPenStyle(Canvas::PenStyle::Dotted);
    canvas.setPenWidth(3);
    canvas.moveTo(5, 10);
    canvas.lineTo(35, 10);
    for (int x = 5; x < 35; ++x)
        EXPECT_EQ(At(image, x, 10), 0x000000u) << "x = " << x;
    EXPECT_EQ(Histogram(image).count(0x0000FF), 0u);
    EXPECT_EQ(At(image, 20, 9), 0x000000u);  // three pixels thick
    EXPECT_EQ(At(image, 20, 11), 0x000000u);
}

TEST(CanvasLines, PenWidthBelowOneCountsAsOne)
{
    QImage image = MakeImage(20, 10, 0xFFFFFF);
    Canvas canvas(image);
    canvas.setPenWidth(0);
    EXPECT_EQ(canvas.penWidth(), 1);
    canvas.moveTo(0, 5);
    canvas.lineTo(10, 5);
    EXPECT_EQ(Histogram(image)[0x000000], 10);
}

// --- Fills --------------------------------------------------------------------------------------

TEST(CanvasFill, FillRectLeavesOutRightAndBottomAndIgnoresEmptyRects)
{
    QImage image = MakeImage(20, 20, 0xFFFFFF);
    Canvas canvas(image);
    canvas.setBrushColor(0x00FF00);
    canvas.fillRect(2, 3, 7, 9);
    canvas.fillRect(10, 10, 10, 15);  // zero width
    canvas.fillRect(15, 15, 12, 12);  // turned inside out
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(At(image, x, y), (x >= 2 && x < 7 && y >= 3 && y < 9) ? 0x00FF00u : 0xFFFFFFu) << x << "," << y;
}

TEST(CanvasFill, ClearFillsEverythingWithTheBrush)
{
    QImage image = MakeImage(30, 20, 0xFFFFFF);
    Canvas canvas(image);
    canvas.moveTo(0, 0);
    canvas.lineTo(29, 19);
    canvas.setBrushColor(0x000000);
    canvas.clear();
    const auto counts = Histogram(image);
    ASSERT_EQ(counts.size(), 1u);
    EXPECT_EQ(counts.begin()->first, 0x000000u);
}

TEST(CanvasFill, CopyRectPutsBackThePreparedPictureWithinBothPictures)
{
    // A prepared background: left half red, right half blue; smaller than the picture.
    QImage background = MakeImage(30, 20, 0xFF0000);
    for (int y = 0; y < 20; ++y)
        for (int x = 15; x < 30; ++x)
            background.setPixel(x, y, 0xFF0000FF);
    for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_RGB16}) {
        QImage image = MakeImage(40, 30, 0xFFFFFF);
        std::vector<QRect> reports;
        Canvas canvas(image, {}, [&](const QRect& area) { reports.push_back(area); });
        canvas.copyRect(background.convertToFormat(format), QRect(10, 5, 100, 10));
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                const bool copied = x >= 10 && x < 30 && y >= 5 && y < 15;
                const Rgb expected = !copied ? 0xFFFFFF : x < 15 ? 0xFF0000 : 0x0000FF;
                ASSERT_EQ(At(image, x, y), expected) << x << "," << y << " format " << format;
            }
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_EQ(reports[0], QRect(10, 5, 20, 10));
    }
}

// --- Texts --------------------------------------------------------------------------------------

TEST(CanvasText, OpaqueTextCoversItsCellFromTheTopLeftCorner)
{
    const Rgb background = 0xFFFFFF, brush = 0xFFFF00, ink = 0x0000FF;
    QImage image = MakeImage(200, 40, background);
    Canvas canvas(image);
    // Something under the text that the cell must hide.
    canvas.setPenColor(0xFF0000);
    canvas.moveTo(0, 12);
    canvas.lineTo(200, 12);

    canvas.setBrushColor(brush);
    canvas.setTextColor(ink);
    const QString text = QStringLiteral("Канал B 0.25");
    const int x = 7, y = 5;
    const int w = canvas.textWidth(text), h = canvas.textHeight(text);
    ASSERT_GT(w, 40);
    ASSERT_GE(h, 11);
    canvas.textOut(x, y, text);

    std::map<Rgb, int> cell;
    for (int py = y; py < y + h; ++py)
        for (int px = x; px < x + w; ++px)
            ++cell[At(image, px, py)];
    EXPECT_EQ(cell.size(), 2u) << "only brush and ink inside the cell";
    EXPECT_GT(cell[ink], 30);
    EXPECT_GT(cell[brush], cell[ink]);
    // The cell starts exactly at (x, y): the pixels just before it are untouched.
    for (int py = y; py < y + h; ++py)
        EXPECT_NE(At(image, x - 1, py), brush) << "row " << py;
    for (int px = x; px < x + w; ++px) {
        EXPECT_NE(At(image, px, y - 1), brush) << "column " << px;
        EXPECT_NE(At(image, px, y + h), brush) << "column " << px;
    }
}

TEST(CanvasText, RowOfBlanksErasesAnOldCaption)
{
    QImage image = MakeImage(300, 30, 0x000000);
    Canvas canvas(image);
    canvas.setBrushColor(0x000000);
    canvas.setTextColor(0x00FF00);
    canvas.setBold(true);
    canvas.textOut(8, 2, QStringLiteral("Канал A (мВ)"));
    ASSERT_GT(Histogram(image)[0x00FF00], 0);
    canvas.setTextColor(0x000000);
    canvas.textOut(8, 2, QString(33, QLatin1Char(' ')));
    EXPECT_EQ(Histogram(image).size(), 1u);
}

TEST(CanvasText, BoldIsWiderAndMeasuresMatchTheFont)
{
    QImage image = MakeImage(10, 10, 0xFFFFFF);
    Canvas canvas(image);
    const QString text = QStringLiteral("Канал A (мВ)");
    EXPECT_FALSE(canvas.bold());
    const int normal = canvas.textWidth(text);
    canvas.setBold(true);
    EXPECT_TRUE(canvas.bold());
    EXPECT_GT(canvas.textWidth(text), normal);
    EXPECT_EQ(canvas.textHeight(text), QFontMetrics(displayFont(true)).height());
    EXPECT_EQ(canvas.textWidth(QString()), 0);
}

// --- Robustness ---------------------------------------------------------------------------------

TEST(CanvasRobustness, NullPictureDrawsNothingAndReportsNothing)
{
    QImage image;
    int reports = 0;
    Canvas canvas(image, {}, [&] { ++reports; });
    canvas.moveTo(0, 0);
    canvas.lineTo(10, 10);
    canvas.polyline(std::vector<ScreenPoint>{{0, 0}, {5, 5}});
    canvas.fillRect(0, 0, 5, 5);
    canvas.textOut(0, 0, QStringLiteral("x"));
    canvas.clear();
    EXPECT_EQ(reports, 0);
    EXPECT_EQ(canvas.position(), QPoint(10, 10));
    EXPECT_GT(canvas.textHeight(QStringLiteral("x")), 0);
}

TEST(CanvasRobustness, EveryDrawingOperationReportsAChange)
{
    QImage image = MakeImage(20, 20, 0xFFFFFF);
    int reports = 0;
    Canvas canvas(image, {}, [&] { ++reports; });
    canvas.moveTo(0, 0);
    EXPECT_EQ(reports, 0);
    canvas.lineTo(5, 5);
    canvas.polyline(std::vector<ScreenPoint>{{0, 0}, {5, 5}});
    canvas.fillRect(0, 0, 5, 5);
    canvas.textOut(0, 0, QStringLiteral("x"));
    canvas.clear();
    EXPECT_EQ(reports, 5);
    // The picture is free between operations: it can be replaced and drawn on again.
    image = MakeImage(40, 40, 0x000000);
    canvas.moveTo(0, 39);
    canvas.lineTo(39, 39);
    EXPECT_EQ(At(image, 20, 39), 0x000000u);
    canvas.setPenColor(0xFFFFFF);
    canvas.moveTo(0, 39);
    canvas.lineTo(39, 39);
    EXPECT_EQ(At(image, 20, 39), 0xFFFFFFu);
}

TEST(CanvasRobustness, FarAwayEndPointsDrawOnlyTheVisiblePart)
{
    QImage image = MakeImage(50, 20, 0xFFFFFF);
    Canvas canvas(image);
    canvas.moveTo(-2000000000, 5);
    canvas.lineTo(2000000000, 5);
    canvas.moveTo(25, 2000000000);
    canvas.lineTo(25, -2000000000);
    canvas.moveTo(INT_MIN, INT_MIN);
    canvas.lineTo(INT_MAX, INT_MAX);  // the diagonal through (0,0) and (19,19)
    for (int x = 0; x < 50; ++x)
        EXPECT_EQ(At(image, x, 5), 0x000000u) << "x = " << x;
    for (int y = 0; y < 20; ++y) {
        EXPECT_EQ(At(image, 25, y), 0x000000u) << "y = " << y;
        EXPECT_EQ(At(image, y, y), 0x000000u) << "y = " << y;
    }
}

TEST(CanvasRobustness, RectanglesReachingPastTheIntRangeDrawAndReportOnlyThePicture)
{
    QImage image = MakeImage(40, 30, 0xFFFFFF);
    std::vector<QRect> reports;
    Canvas canvas(image, {}, [&](const QRect& area) { reports.push_back(area); });
    canvas.setBrushColor(0x00FF00);
    canvas.fillRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_EQ(Histogram(image), (std::map<Rgb, int>{{0x00FF00, 40 * 30}}));
    EXPECT_EQ(reports.back(), image.rect());

    canvas.setBrushColor(0xFFFFFF);
    canvas.fillRect(INT_MIN, 5, 0, 10);  // ends just before the picture
    EXPECT_TRUE(reports.back().isEmpty());
    canvas.textOut(INT_MAX - 3, INT_MAX - 3, QStringLiteral("Канал"));
    EXPECT_TRUE(reports.back().isEmpty());

    canvas.setPenWidth(3);
    canvas.polyline(std::vector<QPoint>{QPoint(INT_MIN, 15), QPoint(INT_MAX, 15)});
    const QRect reported = reports.back();
    EXPECT_TRUE(image.rect().contains(reported));
    for (int x = 0; x < 40; ++x)
        ASSERT_EQ(At(image, x, 15), 0x000000u) << "x = " << x;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            EXPECT_TRUE(At(image, x, y) == 0x00FF00 || reported.contains(x, y)) << x << "," << y;
    EXPECT_EQ(Histogram(image).size(), 2u);
}

// --- Fonts --------------------------------------------------------------------------------------

TEST(AppFonts, SansSerifWithCyrillicAtElevenPixels)
{
    const QFont font = appFont();
    EXPECT_EQ(font.pixelSize(), 11);
    const QFontMetrics metrics(font);
    for (QChar ch : QStringLiteral("АаБбВвЖжЯяЁё"))
        EXPECT_TRUE(metrics.inFont(ch)) << "missing U+" << std::hex << static_cast<unsigned>(ch.unicode());
    EXPECT_FALSE(QFontInfo(font).fixedPitch());
}

TEST(AppFonts, DisplayFontIsTheAppFontUnsmoothedInTwoWeights)
{
    const QFont normal = displayFont(false), bold = displayFont(true);
    EXPECT_FALSE(normal.bold());
    EXPECT_TRUE(bold.bold());
    for (const QFont& f : {normal, bold}) {
        EXPECT_EQ(f.family(), appFont().family());
        EXPECT_EQ(f.pixelSize(), appFont().pixelSize());
        EXPECT_TRUE(f.styleStrategy() & QFont::NoAntialias);
    }
}
