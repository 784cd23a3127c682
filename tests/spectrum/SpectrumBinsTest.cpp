// Synthetic blocks through the transform, the bins of the band, their points and the curves.
#include "spectrum/SpectrumBins.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <numbers>
#include <vector>

// Counts allocations, so that a test can tell whether a processing pass allocates.
static std::atomic<long> gAllocations{0};
void* operator new(std::size_t size)
{
    ++gAllocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace mirel::spectrum {
namespace {

constexpr int Rate = 48000;
// Plot 420 × 260 at 40,20: bottom edge at y 280.
const PlotGeometry kSmall = PlotGeometry::FromSurface(500, 300);

using Samples = std::vector<std::int16_t>;

// A sine of `peak` counts at `bin` (may be fractional) of an n-point transform, plus `dc`.
Samples Sine(int n, double bin, double peak, double dc = 0)
{
    Samples s(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        s[static_cast<std::size_t>(i)] =
            static_cast<std::int16_t>(std::lround(dc + peak * std::sin(2 * std::numbers::pi * bin * i / n + 0.4)));
    return s;
}

struct Pass {
    SpectrumPass pass;
    SpectrumCurve a, b;
    PassSettings settings;

    explicit Pass(int n) { pass.Allocate(n); }

    void Run(const Samples& sa, const Samples& sb = {}, const PlotGeometry& g = kSmall)
    {
        pass.Run(sa, sb, settings, g, a, b);
    }
    // The bin point of `bin` in channel A.
    ScreenPoint At(int bin) const { return pass.BinPointsA()[static_cast<std::size_t>(bin - pass.Bins().FirstBin)]; }
    int Y(int bin) const { return At(bin).y; }
};

TEST(SpectrumPass, ASineBetweenTwoBinsShowsTwoThirdsOnBoth)
{
    RealFft fft;
    fft.SetLength(4096);
    fft.Transform(Sine(4096, 200.5, 32768 * 0.5));
    std::vector<double> values(2048);
    ComputeBinValues(fft.Bins(), BinRangeFor(0, 24000, 4096, Rate, 420), true, 2048.0 * 32768, 0.5, values);
    EXPECT_NEAR(values[200], 2 / std::numbers::pi, 0.01);
    EXPECT_NEAR(values[201], 2 / std::numbers::pi, 0.01);
    EXPECT_LT(values[198], 0.25);
}

TEST(SpectrumPass, DirectCurrentIsNeverShown)
{
    Pass p(2048);
    p.Run(Sine(2048, 0, 0, 30000));
    for (const ScreenPoint& point : p.a.Drawn())
        EXPECT_EQ(point.y, 280) << "at x " << point.x;
    EXPECT_EQ(p.pass.Bins().FirstBin, 1) << "the first bin shown is bin 2";
}

TEST(SpectrumPass, BinRangesOfTheBand)
{
    const BinRange full = BinRangeFor(0, 24000, 32768, Rate, 420);
    EXPECT_EQ(full.FirstBin, 1);
    EXPECT_EQ(full.LastBin, 16384);
    EXPECT_DOUBLE_EQ(full.PixelsPerBin, 420.0 / 16383);
    EXPECT_EQ(full.Count(), 16382);

    const BinRange narrow = BinRangeFor(11000, 12000, 2048, Rate, 420);
    EXPECT_EQ(narrow.FirstBin, 470);
    EXPECT_EQ(narrow.LastBin, 512);

    // A band chosen at 48000 Hz, shown after the launcher passed 8000 Hz: the transform has no bins
    // beyond 4 kHz.
    EXPECT_EQ(BinRangeFor(0, 24000, 2048, 8000, 420).LastBin, 1024);
    EXPECT_EQ(BinRangeFor(22000, 24000, 2048, 8000, 420).Count(), 0);
    EXPECT_EQ(BinRangeFor(0, 24000, 2048, 0, 420).Count(), 0);
}

TEST(SpectrumPass, ManyBinsInAColumnMakeOneStrokeToTheLargest)
{
    // 16382 bins on 420 columns, a peak at bin 5000 and a lower one beside it in the same column.
    Pass p(32768);
    Samples s = Sine(32768, 5000, 20000);
    const Samples other = Sine(32768, 5003, 8000);
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<std::int16_t>(s[i] + other[i]);
    p.Run(s);

    const auto drawn = p.a.Drawn();
    ASSERT_LE(drawn.size(), 2u * 420 + 3);
    const int peakX = p.At(5000).x;
    std::vector<ScreenPoint> column;
    for (const ScreenPoint& point : drawn.subspan(1, drawn.size() - 2))
        if (point.x == peakX)
            column.push_back(point);
    ASSERT_EQ(column.size(), 2u) << "two points per column";
    EXPECT_NEAR(column[1].y, 280 - 260 * 20000 / 32768.0, 1) << "the column ends at its largest value";
    int lastInColumn = 5000;
    while (p.At(lastInColumn + 1).x == peakX)
        ++lastInColumn;
    EXPECT_EQ(column[0].y, p.Y(lastInColumn)) << "its first point is the column's last bin below that";
    EXPECT_EQ(drawn.front(), (ScreenPoint{40, 280}));
    EXPECT_EQ(drawn.back(), (ScreenPoint{460, 280}));
}

TEST(SpectrumPass, APlotWiderThan1023ColumnsKeepsTheWholeCurve)
{
    const PlotGeometry wide = PlotGeometry::FromSurface(1580, 300);  // 1500 columns
    Pass p(32768);
    p.Run(Sine(32768, 16300, 32767), {}, wide);
    const auto drawn = p.a.Drawn();
    EXPECT_EQ(drawn.size(), 2u + 2 * 1500 + 1);
    const int peakX = p.At(16300).x;
    EXPECT_GT(peakX, 1500);
    bool peakDrawn = false;
    for (const ScreenPoint& point : drawn)
        peakDrawn |= point.x == peakX && point.y == 20;
    EXPECT_TRUE(peakDrawn) << "the peak near the right edge is part of the curve";
    EXPECT_EQ(drawn.back(), (ScreenPoint{1540, 280}));
}

TEST(SpectrumPass, APassAllocatesNothingAndPlansOnlyForANewLength)
{
    Pass p(32768);
    const Samples a = Sine(32768, 1000, 20000), b = Sine(32768, 2000, 20000);
    p.settings.ShowB = true;
    p.Run(a, b);
    const auto* bins = p.pass.BinPointsA().data();
    const long before = gAllocations;
    for (int i = 0; i < 3; ++i)
        p.Run(a, b);
    EXPECT_EQ(gAllocations - before, 0);

    // Decibels, a window, averaging and held peaks: the window's coefficients are made once.
    p.settings.View = {.Decibels = true, .Window = WindowKind::BlackmanHarris, .Averaging = 64, .PeakHold = true};
    SpectrumCurve peakA, peakB;
    p.Run(a, b);
    p.pass.BuildPeakCurves(p.settings, kSmall, peakA, peakB);
    const long windowed = gAllocations;
    for (int i = 0; i < 3; ++i) {
        p.Run(a, b);
        p.pass.BuildPeakCurves(p.settings, kSmall, peakA, peakB);
    }
    EXPECT_EQ(gAllocations - windowed, 0);
    p.settings.View = {};

    p.pass.Allocate(32768);
    EXPECT_EQ(p.pass.BinPointsA().data(), bins) << "the same length keeps its arrays";
    p.pass.Allocate(2048);
    EXPECT_EQ(p.pass.FftLength(), 2048);
    p.Run(Sine(2048, 100, 32767));
    EXPECT_NEAR(p.Y(100), 20, 1);
}

}  // namespace
}  // namespace mirel::spectrum
