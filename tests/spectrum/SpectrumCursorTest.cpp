#include "spectrum/SpectrumCursor.h"

#include <gtest/gtest.h>

#include <vector>

namespace mirel::spectrum {
namespace {

TEST(SpectrumCursor, ColumnGivesTheNearestShownBinItsFrequencyAndBothLevels)
{
    // 64 points: bins 1 … 31 shown, 10 pixels apart on a plot 320 wide (or 4 to a pixel). Channel
    // A's bin k reads k / 100 V, channel B's 0.5 − k / 100 V.
    constexpr int N = 64;
    const double norm = N / 2 * 32768.0;
    std::vector<std::complex<double>> a(N / 2 + 1), b(N / 2 + 1);
    for (int k = 0; k <= N / 2; ++k) {
        a[static_cast<std::size_t>(k)] = {0, k / 100.0 * norm};
        b[static_cast<std::size_t>(k)] = {(0.5 - k / 100.0) * norm, 0};
    }
    const PlotGeometry g = PlotGeometry::FromSurface(MarginLeft + 320 + MarginRight, 300);
    struct Case {
        const char* what;
        double pixelsPerBin;
        bool leadA;
        int dx;  // from the plot's left edge
        int rate;
        bool amplitude;
        bool inside;
        int bin;
        const char* frequency;
        const char* a;
        const char* b;
    } cases[] = {
        {"the left edge shows the first shown bin", 10, true, 0, 6400, true, true, 1, "f = 100 Гц", "A: 10 мВ",
         "B: 490 мВ"},
        {"short of half way stays", 10, true, 14, 6400, true, true, 1, "f = 100 Гц", "A: 10 мВ", "B: 490 мВ"},
        {"half way goes to the next bin", 10, true, 15, 6400, true, true, 2, "f = 200 Гц", "A: 20 мВ", "B: 480 мВ"},
        {"amplitude", 10, true, 250, 6400, true, true, 25, "f = 2500 Гц", "A: 250 мВ", "B: 250 мВ"},
        {"power", 10, true, 250, 6400, false, true, 25, "f = 2500 Гц", "A: 62.5 мВт", "B: 62.5 мВт"},
        {"kilohertz", 10, true, 250, 64000, true, true, 25, "f = 25 кГц", "A: 250 мВ", "B: 250 мВ"},
        {"the right edge shows the last shown bin", 10, true, 320, 6400, true, true, 31, "f = 3100 Гц", "A: 310 мВ",
         "B: 190 мВ"},
        {"bins 8 … 11 in one column: A's strongest", 0.25, true, 2, 6400, true, true, 11, "f = 1100 Гц", "A: 110 мВ",
         "B: 390 мВ"},
        {"bins 8 … 11 in one column: B's strongest", 0.25, false, 2, 6400, true, true, 8, "f = 800 Гц", "A: 80 мВ",
         "B: 420 мВ"},
        {"left of the plot nothing", 10, true, -1, 6400, true, false, 0, "", "", ""},
        {"right of the plot nothing", 10, true, 321, 6400, true, false, 0, "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CursorBin v =
            BinAtColumn(a, b, {0, 32, c.pixelsPerBin}, g, N, c.rate, c.amplitude, c.leadA, g.PlotLeft + c.dx);
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
