#include "oscilloscope/CursorReadout.h"

#include "TestBlocks.h"

#include <gtest/gtest.h>

namespace mirel::osc {
namespace {

using testing::MakeBlock;
using testing::View;

TEST(CursorReadout, ColumnGivesTheNearestTracePointsTimeAndSamples)
{
    // A 500 × 300 surface: plot from x 42, 416 pixels wide; 5 points 104 pixels apart; 1000 Hz,
    // so the points lie 1 ms apart, the middle one at 0. Channel A reads 100 × frame, B −50 × frame.
    const PlotGeometry g = PlotGeometry::FromSurface(500, 300);
    const auto bytes = MakeBlock(
        600, [](int f) { return static_cast<std::int16_t>(100 * f); },
        [](int f) { return static_cast<std::int16_t>(-50 * f); });
    struct Case {
        const char* what;
        int x;
        double shiftX;
        TriggerOffsets triggers;
        bool inside;
        int point;
        const char* time;
        const char* a;
        const char* b;
    } cases[] = {
        {"the left edge shows the first point", 42, 0, {0, 0}, true, 0, "t = -2 мс", "A: 610 мВ", "B: -305 мВ"},
        {"just short of half way stays on it", 93, 0, {0, 0}, true, 0, "t = -2 мс", "A: 610 мВ", "B: -305 мВ"},
        {"half way goes to the next point", 94, 0, {0, 0}, true, 1, "t = -1 мс", "A: 613 мВ", "B: -307 мВ"},
        {"the middle column is time zero", 250, 0, {0, 0}, true, 2, "t = 0.0 с", "A: 616 мВ", "B: -308 мВ"},
        {"each channel from its own trigger", 250, 0, {10, 90}, true, 2, "t = 0.0 с", "A: 647 мВ", "B: -446 мВ"},
        {"the right edge shows the last point", 458, 0, {0, 0}, true, 4, "t = 2 мс", "A: 623 мВ", "B: -311 мВ"},
        {"right of the plot nothing", 459, 0, {0, 0}, false, 0, "", "", ""},
        {"left of the plot nothing", 41, 0, {0, 0}, false, 0, "", "", ""},
        {"shifted right: the first point under 146", 146, 104, {0, 0}, true, 0, "t = -1 мс", "A: 610 мВ", "B: -305 мВ"},
        {"shifted right: no point at the left edge", 42, 104, {0, 0}, false, 0, "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TraceScales s;
        s.ScreenPoints = 5;
        s.ShiftX = c.shiftX;
        const CursorValues v = ValuesAtColumn(View(bytes), c.triggers, g, s, 1000, c.x);
        ASSERT_EQ(v.Inside, c.inside);
        if (!c.inside)
            continue;
        EXPECT_EQ(v.Point, c.point);
        EXPECT_DOUBLE_EQ(v.A, 100.0 * (BlockLeadIn + c.triggers.TriggerA + c.point) / 32768);
        EXPECT_DOUBLE_EQ(v.B, -50.0 * (BlockLeadIn + c.triggers.TriggerB + c.point) / 32768);
        EXPECT_EQ(TimeText(v.Time), c.time);
        EXPECT_EQ(SampleText("A", v.A), c.a);
        EXPECT_EQ(SampleText("B", v.B), c.b);
    }
}

}  // namespace
}  // namespace mirel::osc
