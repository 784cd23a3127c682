#include "spectrum/SpectrumCursor.h"

#include <gtest/gtest.h>

#include <vector>

namespace mirel::spectrum {
namespace {

TEST(SpectrumCursor, ColumnGivesTheNearestShownBinItsFrequencyAndBothLevels)
{
    // 64 points: bins 1 … 31 shown, 10 pixels apart on a plot 320 wide. Channel A's bin k reads
    // k / 100 V, channel B's 0.5 V in every bin.
    constexpr int N = 64;
    const double norm = N / 2 * 32768.0;
    std::vector<std::complex<double>> a(N / 2 + 1), b(N / 2 + 1);
    for (int k = 0; k <= N / 2; ++k) {
        a[static_cast<std::size_t>(k)] = {0, k / 100.0 * norm};
        b[static_cast<std::size_t>(k)] = {0.5 * norm, 0};
    }
    const PlotGeometry g = PlotGeometry::FromSurface(MarginLeft + 320 + MarginRight, 300);
    const BinRange range{0, 32, 10};
    struct Case {
        const char* what;
        int dx;  // from the plot's left edge
        int rate;
        bool amplitude;
        bool inside;
        int bin;
        const char* frequency;
        const char* a;
        const char* b;
    } cases[] = {
        {"the left edge shows the first shown bin", 0, 6400, true, true, 1, "f = 100 Гц", "A: 10 мВ", "B: 500 мВ"},
        {"short of half way stays", 14, 6400, true, true, 1, "f = 100 Гц", "A: 10 мВ", "B: 500 мВ"},
        {"half way goes to the next bin", 15, 6400, true, true, 2, "f = 200 Гц", "A: 20 мВ", "B: 500 мВ"},
        {"amplitude", 250, 6400, true, true, 25, "f = 2500 Гц", "A: 250 мВ", "B: 500 мВ"},
        {"power", 250, 6400, false, true, 25, "f = 2500 Гц", "A: 62.5 мВт", "B: 250 мВт"},
        {"kilohertz", 250, 64000, true, true, 25, "f = 25 кГц", "A: 250 мВ", "B: 500 мВ"},
        {"the right edge shows the last shown bin", 320, 6400, true, true, 31, "f = 3100 Гц", "A: 310 мВ", "B: 500 мВ"},
        {"left of the plot nothing", -1, 6400, true, false, 0, "", "", ""},
        {"right of the plot nothing", 321, 6400, true, false, 0, "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CursorBin v = BinAtColumn(a, b, range, g, N, c.rate, c.amplitude, g.PlotLeft + c.dx);
        ASSERT_EQ(v.Inside, c.inside);
        if (!c.inside)
            continue;
        EXPECT_EQ(v.Bin, c.bin);
        EXPECT_EQ(FrequencyText(v.Frequency), c.frequency);
        EXPECT_EQ(LevelText("A", v.A, c.amplitude), c.a);
        EXPECT_EQ(LevelText("B", v.B, c.amplitude), c.b);
    }
}

}  // namespace
}  // namespace mirel::spectrum
