#include "density/DensityPoints.h"
#include "DensityBlocks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

namespace mirel::pv {
namespace {

using testing::MakeBlock;
using testing::Silence;

const PlotGeometry kPlot = PlotGeometry::FromSurface(1280, 800);  // plot 40,20 1200 × 760

struct Curves {
    Histogram HistA{}, HistB{};
    std::vector<ScreenPoint> A = std::vector<ScreenPoint>(BinCount), B = std::vector<ScreenPoint>(BinCount);
};

Curves Compute(const std::vector<std::uint8_t>& block, const DisplayMode& mode, const PlotGeometry& plot = kPlot)
{
    Curves c;
    ProcessData(block, plot, mode, c.HistA, c.HistB, c.A, c.B);
    return c;
}

// The bins whose point lies above the bottom edge.
std::vector<int> Raised(const std::vector<ScreenPoint>& points, const PlotGeometry& plot = kPlot)
{
    std::vector<int> bins;
    for (int i = 0; i < BinCount; ++i) {
        EXPECT_EQ(points[static_cast<size_t>(i)].x, BinX(plot, i));
        if (points[static_cast<size_t>(i)].y != plot.Bottom())
            bins.push_back(i);
    }
    return bins;
}

const DisplayMode kNormalised{};
DisplayMode Density(double scaleA, double scaleB = 5.0)
{
    return {false, scaleA, scaleB};
}

TEST(DensityPoints, SilenceIsASpikeOnTheCentreLine)
{
    for (const PlotGeometry& plot : {kPlot, PlotGeometry::FromSurface(613, 377)}) {
        const Curves c = Compute(MakeBlock(16000, Silence), kNormalised, plot);
        EXPECT_EQ(Raised(c.A, plot), std::vector<int>{ZeroLevel});
        EXPECT_EQ(Raised(c.B, plot), std::vector<int>{ZeroLevel});
        EXPECT_EQ(c.A[ZeroLevel].y, plot.PlotTop);
        // Where the solid zero line of the grid is drawn.
        EXPECT_EQ(c.A[ZeroLevel].x, static_cast<int>(plot.PlotLeft + plot.PlotWidth * 0.5));
    }
    EXPECT_EQ(BinX(kPlot, 0), kPlot.PlotLeft);
    EXPECT_EQ(BinX(kPlot, 255), static_cast<int>(kPlot.Right() - kPlot.PlotWidth / 256.0))
        << "one bin short of the right edge";
}

TEST(DensityPoints, OnlyTheCurrentBlockIsCountedPerChannel)
{
    Histogram a{}, b{};
    const auto seven = [](int) { return std::uint8_t{7}; };
    CountLevels(MakeBlock(1000, seven, seven), a, b);
    // 2001 bytes: the last, odd one is a lone sample of channel A.
    const auto threeLevels = [](int f) { return static_cast<std::uint8_t>(f % 3); };
    const auto twoLevels = [](int f) { return static_cast<std::uint8_t>(250 - f % 2); };
    std::vector<std::uint8_t> block = MakeBlock(1000, threeLevels, twoLevels);
    block.push_back(42);
    CountLevels(block, a, b);
    EXPECT_EQ((std::vector<std::uint32_t>{a[0], a[1], a[2], a[42], b[249], b[250]}),
              (std::vector<std::uint32_t>{334, 333, 333, 1, 500, 500}));
    EXPECT_EQ(a[7] + b[7], 0u) << "nothing of the earlier block is left";
    EXPECT_EQ(std::count(b.begin(), b.end(), 0u), BinCount - 2);
}

TEST(DensityPoints, AConstantInputOfASecondReachesExactlyTheTop)
{
    const Curves c = Compute(MakeBlock(
                                 48000, [](int) { return 200; }, [](int) { return 3; }),
                             kNormalised);
    EXPECT_EQ(c.HistA[200], 48000u);
    EXPECT_EQ(c.HistB[3], 48000u);
    EXPECT_EQ(Raised(c.A), std::vector<int>{200});
    EXPECT_EQ(c.A[200].y, kPlot.PlotTop);
    EXPECT_EQ(Raised(c.B), std::vector<int>{3});
    EXPECT_EQ(c.B[3].y, kPlot.PlotTop);
}

TEST(DensityPoints, AFullScaleSquareFillsOnlyTheEndBins)
{
    const auto square = [](int f) { return static_cast<std::uint8_t>(f % 96 < 48 ? 255 : 0); };
    for (const DisplayMode& mode : {kNormalised, Density(2.0)}) {
        const Curves c = Compute(MakeBlock(9600, square), mode);
        EXPECT_EQ(Raised(c.A), (std::vector<int>{0, 255}));
        EXPECT_EQ(c.A[0].y, kPlot.PlotTop);
        EXPECT_EQ(Raised(c.B), std::vector<int>{ZeroLevel});
    }
}

TEST(DensityPoints, NormalisedHeightsFollowTheLargestBin)
{
    // Levels 100, 101 and 102 in the ratio 4 : 2 : 1.
    const auto levels = [](int f) { return static_cast<std::uint8_t>(f % 7 < 4 ? 100 : f % 7 < 6 ? 101 : 102); };
    const Curves c = Compute(MakeBlock(7000, levels), kNormalised);
    EXPECT_EQ(c.A[100].y, 20);
    EXPECT_EQ(c.A[101].y, 20 + 380);
    EXPECT_EQ(c.A[102].y, 20 + 570);
}

TEST(DensityPoints, DensityIsCutAtTheScaleAndALargerScaleShowsThePeak)
{
    // 16384 samples (D = 128) spread evenly over 16 levels: a density of 128 / 16 = 8 per volt.
    const auto narrow = [](int f) { return static_cast<std::uint8_t>(120 + f % 16); };
    const auto block = MakeBlock(16384, narrow, narrow);
    const Curves c = Compute(block, Density(ScaleAt(20), ScaleAt(160)));
    std::vector<int> levels(16);
    std::iota(levels.begin(), levels.end(), 120);
    EXPECT_EQ(Raised(c.A), levels);
    EXPECT_EQ(Raised(c.B), levels);
    for (int i = 120; i < 136; ++i) {
        EXPECT_EQ(c.A[static_cast<size_t>(i)].y, kPlot.PlotTop) << "8 per volt is cut flat at a scale of 2";
        EXPECT_EQ(c.B[static_cast<size_t>(i)].y, 20 + 380) << "and half way up at a scale of 16";
    }

    // Every level equally often: 0.5 per volt, the middle of a scale of 1.
    const Curves uniform = Compute(MakeBlock(32768, [](int f) { return f % 256; }), Density(1.0));
    for (const ScreenPoint& p : uniform.A)
        ASSERT_EQ(p.y, 20 + 380);
}

TEST(DensityPoints, DivisorOfTheDensityMode)
{
    struct Case {
        int frames;
        int divisor;
    } cases[] = {{16000, 125}, {14700, 114}, {48000, 375}, {128, 1}, {127, 0}, {0, 0}};
    for (const Case& c : cases) {
        Histogram a{}, b{};
        CountLevels(MakeBlock(c.frames, Silence), a, b);
        EXPECT_EQ(DensityDivisor(a), c.divisor) << c.frames;
        EXPECT_EQ(DensityDivisor(b), c.divisor) << c.frames;
    }
}

TEST(DensityPoints, WithoutADivisorOrScaleEveryPointLiesOnTheBottomEdge)
{
    for (int frames : {0, 1, 127}) {
        const Curves c = Compute(MakeBlock(frames, Silence), Density(2.0));
        EXPECT_TRUE(Raised(c.A).empty()) << frames;
        EXPECT_TRUE(Raised(c.B).empty()) << frames;
    }
    const Curves noScale = Compute(MakeBlock(1000, Silence), Density(0.0, -1.0));
    EXPECT_TRUE(Raised(noScale.A).empty());
    EXPECT_TRUE(Raised(noScale.B).empty());
    // The normalised mode of an empty block: nothing counted, nothing raised.
    EXPECT_TRUE(Raised(Compute({}, kNormalised).A).empty());
}

TEST(DensityPoints, NothingIsWrittenBeyondThePointArraysAtAnySize)
{
    const auto block = MakeBlock(4800, [](int f) { return f % 256; });
    for (const PlotGeometry& plot :
         {PlotGeometry::FromSurface(0, 0), PlotGeometry::FromSurface(60, 30), PlotGeometry::FromSurface(4000, 3000)}) {
        for (const DisplayMode& mode : {kNormalised, Density(0.1)}) {
            std::vector<ScreenPoint> a(20, ScreenPoint{-5, -5}), b(300, ScreenPoint{-5, -5});
            Histogram ha{}, hb{};
            ProcessData(block, plot, mode, ha, hb, std::span(a).first(10), b);
            EXPECT_NE(a[9], (ScreenPoint{-5, -5}));
            EXPECT_EQ(a[10], (ScreenPoint{-5, -5}));
            EXPECT_EQ(b[256], (ScreenPoint{-5, -5}));
            for (const ScreenPoint& p : std::span(b).first(BinCount)) {
                ASSERT_GE(p.x, plot.PlotLeft);
                ASSERT_LE(p.x, plot.Right());
                ASSERT_GE(p.y, plot.PlotTop);
                ASSERT_LE(p.y, plot.Bottom());
            }
        }
    }
}

TEST(DensityScales, BlockLengthAndCaptions)
{
    EXPECT_EQ(SetNewBufSize(48000, 3), 16000);
    EXPECT_EQ(SetNewBufSize(48000, 5), 9600);
    EXPECT_EQ(SetNewBufSize(44000, 7), 6285);
    EXPECT_EQ(SetNewBufSize(48000, 0), 0);

    for (auto [rate, caption] : {std::pair{1, "(1 раз/с)"}, std::pair{2, "(2 раза/с)"}, std::pair{4, "(4 раза/с)"},
                                 std::pair{5, "(5 раз/с)"}, std::pair{10, "(10 раз/с)"}})
        EXPECT_EQ(RefreshRateCaption(rate), std::string("Скорость обновления ") + caption);

    EXPECT_EQ(ScaleCaption(ScaleAt(ScalePositionAtStartA)), "0,2/дел");
    EXPECT_EQ(ScaleCaption(ScaleAt(1)), "0,01/дел");
    EXPECT_EQ(ScaleCaption(ScaleAt(3)), "0,03/дел");
    EXPECT_EQ(ScaleCaption(ScaleAt(200)), "2/дел");
}

}  // namespace
}  // namespace mirel::pv
