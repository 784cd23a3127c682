#include "density/DensityCursor.h"

#include <gtest/gtest.h>

namespace mirel::pv {
namespace {

TEST(DensityCursor, ColumnGivesTheNearestLevelAndBothCurvesThere)
{
    // A plot 512 pixels wide: level i at 2 × i pixels from its left edge. Channel A counts i at
    // level i (largest 255, divisor 255); channel B 1000 at the zero level (divisor 7).
    const PlotGeometry g = PlotGeometry::FromSurface(MarginLeft + 512 + MarginRight, 300);
    Histogram a{}, b{};
    for (int i = 0; i < BinCount; ++i)
        a[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(i);
    b[ZeroLevel] = 1000;
    struct Case {
        const char* what;
        int dx;  // from the plot's left edge
        bool normalised;
        bool inside;
        int bin;
        const char* level;
        const char* a;
        const char* b;
    } cases[] = {
        {"the left edge is the lowest level", 0, true, true, 0, "U = -1 В", "A: 0.0", "B: 0.0"},
        {"half way to the next level goes to it", 1, true, true, 1, "U = -992 мВ", "A: 0.0", "B: 0.0"},
        {"the middle is the zero level", 256, true, true, 128, "U = 0.0 В", "A: 0.5", "B: 1"},
        {"as a density", 256, false, true, 128, "U = 0.0 В", "A: 0.5 1/В", "B: 143 1/В"},
        {"three quarters up", 385, false, true, 193, "U = 508 мВ", "A: 0.76 1/В", "B: 0.0 1/В"},
        {"the right edge is the highest level", 512, true, true, 255, "U = 992 мВ", "A: 1", "B: 0.0"},
        {"left of the plot nothing", -1, true, false, 0, "", "", ""},
        {"right of the plot nothing", 513, true, false, 0, "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CursorLevel v = LevelAtColumn(a, b, c.normalised, g, g.PlotLeft + c.dx);
        ASSERT_EQ(v.Inside, c.inside);
        if (!c.inside)
            continue;
        EXPECT_EQ(v.Bin, c.bin);
        EXPECT_EQ(LevelText(v.Level), c.level);
        EXPECT_EQ(CurveValueText("A", v.A, c.normalised), c.a);
        EXPECT_EQ(CurveValueText("B", v.B, c.normalised), c.b);
    }
}

}  // namespace
}  // namespace mirel::pv
