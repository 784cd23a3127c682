#include "oscilloscope/TracePoints.h"

#include "TestBlocks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mirel::osc {
namespace {

using testing::MakeBlock;
using testing::View;

// A 500 × 300 surface: plot at 42,22, 416 × 256 pixels, zero line at y 150, right edge at x 458.
const PlotGeometry kSmall = PlotGeometry::FromSurface(500, 300);

std::vector<std::uint8_t> ConstantBlock(int points, int a, int b = 0)
{
    return MakeBlock(
        points + 300, [=](int) { return static_cast<std::int16_t>(a); },
        [=](int) { return static_cast<std::int16_t>(b); });
}

std::vector<ScreenPoint> MapA(const std::vector<std::uint8_t>& bytes, const PlotGeometry& g, const TraceScales& s,
                              TriggerOffsets t = {})
{
    std::vector<ScreenPoint> a(static_cast<size_t>(s.ScreenPoints)), b(static_cast<size_t>(s.ScreenPoints));
    ProcessData(View(bytes), t, g, s, a, b);
    return a;
}

TEST(ProcessData, SampleValueSensitivityAndShiftGiveTheHeight)
{
    // A sample s is drawn s / 32768 × Sens × PlotHeight / 6 pixels above the zero line
    // (256 / 6 = 42.67 pixels per volt at sensitivity 1 on this surface), truncated.
    struct Case {
        const char* what;
        int sample;
        double sens;
        double shift;
        int y;
    } cases[] = {
        {"silence on the zero line", 0, 1, 0, 150},
        {"full scale up: 150 - 42.67", 32767, 1, 0, 107},
        {"full scale down: 150 + 42.67", -32768, 1, 0, 192},
        {"1000 at sensitivity 10: 150 - 13.02", 1000, 10, 0, 136},
        {"shift moves the zero line up", 0, 1, 50, 100},
        {"negative shift moves it down", 0, 1, -50, 200},
        {"-32768 at 2500 lies on the bottom edge", -32768, 2500, 0, 278},
        {"32767 at 2500 lies on the top edge", 32767, 2500, 0, 22},
        {"shifted below the plot", 0, 1, -200, 278},
        {"shifted above the plot", 0, 1, 200, 22},
        {"half a pixel above the plot clips to the top", 0, 1, 128.5, 22},
        {"half a pixel below the bottom edge stays on it", 0, 1, -128.5, 278},
        {"one unit at 2500 is 3.26 pixels", 1, 2500, 0, 146},
        {"minus one unit at 2500", -1, 2500, 0, 153},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TraceScales s;
        s.ScreenPoints = 5;
        s.A = {true, c.sens, c.shift};
        const auto a = MapA(ConstantBlock(5, c.sample), kSmall, s);
        const int xs[] = {42, 146, 250, 354, 458};  // 416 / 4 = 104 apart, from the left to the right edge
        for (int j = 0; j < 5; ++j)
            EXPECT_EQ(a[static_cast<size_t>(j)], (ScreenPoint{xs[j], c.y})) << "point " << j;
    }
}

TEST(ProcessData, HorizontalShiftCollapsesPointsOntoTheMiddleOfAnEdge)
{
    TraceScales s;
    s.ScreenPoints = 5;
    s.A = {true, 1, 0};
    const auto bytes = ConstantBlock(5, 10000);  // 13.02 pixels up: y 136 where not collapsed

    s.ShiftX = 100;
    EXPECT_EQ(MapA(bytes, kSmall, s),
              (std::vector<ScreenPoint>{{142, 136}, {246, 136}, {350, 136}, {454, 136}, {458, 150}}));
    s.ShiftX = -100;
    EXPECT_EQ(MapA(bytes, kSmall, s),
              (std::vector<ScreenPoint>{{41, 150}, {46, 136}, {150, 136}, {254, 136}, {358, 136}}));
    s.ShiftX = 0.5;  // a fraction of a pixel is truncated away
    EXPECT_EQ(MapA(bytes, kSmall, s)[4], (ScreenPoint{458, 136}));
}

TEST(ProcessData, ShiftOf100CollapsesTheLastPointsOnA1280By800Surface)
{
    // 153 points over 1196 pixels: 7.87 pixels apart; shifted by 100, points 140..152 leave the plot.
    const auto g = PlotGeometry::FromSurface(1280, 800);
    TraceScales s;
    s.ScreenPoints = 153;
    s.A = {true, 1, 0};
    s.ShiftX = 100;
    const auto sine = MakeBlock(453, [](int i) { return static_cast<std::int16_t>((i % 48) * 1000 - 24000); });
    const auto a = MapA(sine, g, s);
    const ScreenPoint middleOfRightEdge{42 + 1196, 22 + 378};
    for (int j = 0; j < 153; ++j) {
        SCOPED_TRACE("point " + std::to_string(j));
        const auto p = a[static_cast<size_t>(j)];
        if (j >= 140) {
            EXPECT_EQ(p, middleOfRightEdge);
        } else {
            EXPECT_LT(p.x, 42 + 1196);
            EXPECT_GE(p.x, 142);
            EXPECT_NE(p.y, 0);
        }
    }
    EXPECT_EQ(a[0].x, 142);
}

TEST(ProcessData, TriggerOffsetChoosesTheFirstShownFrame)
{
    // A single full-scale spike at frame 230; everything else silent.
    const auto bytes = MakeBlock(
        50 + 300, [](int i) { return static_cast<std::int16_t>(i == 230 ? 32767 : 0); },
        [](int i) { return static_cast<std::int16_t>(i == 230 ? -32768 : 0); });
    TraceScales s;
    s.ScreenPoints = 50;
    s.A = {true, 1, 0};
    s.B = {true, 1, 0};
    struct Case {
        int triggerA, triggerB, spikeA, spikeB;
    } cases[] = {{0, 0, 30, 30}, {30, 0, 0, 30}, {10, 25, 20, 5}, {99, 99, -1, -1}};
    for (const auto& c : cases) {
        std::vector<ScreenPoint> a(50), b(50);
        ProcessData(View(bytes), {c.triggerA, c.triggerB}, kSmall, s, a, b);
        for (int j = 0; j < 50; ++j) {
            const auto jj = static_cast<size_t>(j);
            EXPECT_EQ(a[jj].y, j == c.spikeA ? 107 : 150) << "A, trigger " << c.triggerA << ", point " << j;
            EXPECT_EQ(b[jj].y, j == c.spikeB ? 192 : 150) << "B, trigger " << c.triggerB << ", point " << j;
        }
    }
}

TEST(ProcessData, ChannelsUseTheirOwnSamplesScalesAndShifts)
{
    const auto bytes = ConstantBlock(3, 1000, -1000);
    TraceScales s;
    s.ScreenPoints = 3;
    s.A = {true, 10, 20};    // 13.02 up from 130
    s.B = {true, 2.5, -30};  // 3.26 down from 180
    s.ShiftX = 8;
    std::vector<ScreenPoint> a(3), b(3);
    ProcessData(View(bytes), {}, kSmall, s, a, b);
    EXPECT_EQ(a, (std::vector<ScreenPoint>{{50, 116}, {258, 116}, {458, 150}}));
    EXPECT_EQ(b, (std::vector<ScreenPoint>{{50, 183}, {258, 183}, {458, 150}}));
}

TEST(ProcessData, SwitchedOffChannelKeepsItsOldPoints)
{
    const auto bytes = ConstantBlock(4, 0, 0);
    const ScreenPoint old{7, 9};
    for (bool aOn : {false, true}) {
        TraceScales s;
        s.ScreenPoints = 4;
        s.A.On = aOn;
        s.B.On = !aOn;
        std::vector<ScreenPoint> a(4, old), b(4, old);
        ProcessData(View(bytes), {}, kSmall, s, a, b);
        EXPECT_EQ(a[0] == old, !aOn);
        EXPECT_EQ(b[0] == old, aOn);
        EXPECT_EQ(a[3] == old, !aOn);
        EXPECT_EQ(b[3] == old, aOn);
    }
}

TEST(ProcessData, TwoPointsDrawAStraightLineAcrossThePlot)
{
    TraceScales s;
    s.ScreenPoints = 2;
    EXPECT_EQ(MapA(ConstantBlock(2, 0), kSmall, s), (std::vector<ScreenPoint>{{42, 150}, {458, 150}}));
    // A single point (never produced by the scales) does not divide by zero.
    s.ScreenPoints = 1;
    EXPECT_EQ(MapA(ConstantBlock(1, 0), kSmall, s), (std::vector<ScreenPoint>{{42, 150}}));
}

TEST(ProcessData, NeverWritesPastTheArraysOrTheBlock)
{
    TraceScales s;
    s.ScreenPoints = 6;
    s.B.On = true;
    const ScreenPoint guard{-1, -1};
    std::vector<ScreenPoint> a(6, guard), b(6, guard);
    // Arrays shorter than the point count: only what fits is written.
    ProcessData(View(ConstantBlock(6, 100, 100)), {}, kSmall, s, std::span(a).first(3), std::span(b).first(0));
    EXPECT_NE(a[2], guard);
    EXPECT_EQ(a[3], guard);
    EXPECT_EQ(b[0], guard);

    // A block shorter than the shown stretch: the missing frames read as silence.
    const auto shortBlock = MakeBlock(203, [](int) { return std::int16_t{32767}; });
    const auto mapped = MapA(shortBlock, kSmall, s);
    EXPECT_EQ(mapped[2].y, 107);
    EXPECT_EQ(mapped[3].y, 150);
    EXPECT_EQ(mapped[5].y, 150);
}

TEST(ProcessData, EveryPointLiesInsideTheSurfaceWhateverItsSize)
{
    const int sizes[][2] = {{0, 0},   {1, 1},   {10, 10},  {40, 30},   {84, 44},
                            {85, 45}, {86, 46}, {100, 60}, {500, 450}, {1280, 800}};
    const double shifts[] = {-1e9, -500, 0, 500, 1e9};
    const double sens[] = {0.5, 2500};
    const auto extremes = MakeBlock(
        40 + 300, [](int i) { return static_cast<std::int16_t>(i % 2 ? 32767 : -32768); },
        [](int i) { return static_cast<std::int16_t>(i % 3 ? -32768 : 32767); });
    for (const auto& size : sizes) {
        const auto g = PlotGeometry::FromSurface(size[0], size[1]);
        for (double shiftX : shifts)
            for (double shiftY : shifts)
                for (double k : sens) {
                    TraceScales s;
                    s.ScreenPoints = 40;
                    s.A = {true, k, shiftY};
                    s.B = {true, k, -shiftY};
                    s.ShiftX = shiftX;
                    std::vector<ScreenPoint> a(40), b(40);
                    ProcessData(View(extremes), {99, 0}, g, s, a, b);
                    for (const auto& trace : {a, b})
                        for (const auto& p : trace) {
                            ASSERT_GE(p.x, 0);
                            ASSERT_GE(p.y, 0);
                            ASSERT_LE(p.x, std::max(size[0] - 1, 0))
                                << size[0] << "x" << size[1] << " shift " << shiftX;
                            ASSERT_LE(p.y, std::max(size[1] - 1, 0))
                                << size[0] << "x" << size[1] << " shift " << shiftY;
                        }
                }
    }
}

TEST(BlockCopy, ZeroesThenCopiesTheBuffer)
{
    BlockCopy copy;
    const auto buffer = MakeBlock(
        3, [](int i) { return static_cast<std::int16_t>(-1 - i); },
        [](int i) { return static_cast<std::int16_t>(300 + i); });
    copy.Take(buffer.data(), true);  // before any allocation: nothing happens
    EXPECT_FALSE(copy.Exists());

    copy.Allocate(static_cast<int>(buffer.size()));
    copy.Take(buffer.data(), true);
    EXPECT_EQ(copy.View().Frames(), 3);
    EXPECT_EQ(copy.View().A(0), -1);
    EXPECT_EQ(copy.View().A(2), -3);
    EXPECT_EQ(copy.View().B(1), 301);
    EXPECT_EQ(copy.View().A(3), 0);  // past the end

    copy.Take(nullptr, true);  // no buffer: the previous block does not stay
    EXPECT_EQ(copy.View().A(0), 0);
    copy.Take(buffer.data(), true);
    copy.Take(buffer.data(), false);  // capture not running
    EXPECT_EQ(copy.View().B(1), 0);
}

}  // namespace
}  // namespace mirel::osc
