// Levels of generated signals through the analyser's pass at 48000 Hz: a sine's peak in each
// window, a weak tone beside a strong one, the density and spread of averaged noise, and when
// averages and held peaks start again.
#include "spectrum/LevelAxis.h"
#include "spectrum/SpectrumBins.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace mirel::spectrum {
namespace {

constexpr int Rate = 48000;
const PlotGeometry kPlot = PlotGeometry::FromSurface(1280, 800);

using Samples = std::vector<std::int16_t>;

struct Tone {
    double Volts;  // peak; 1 V is 32768 counts
    double Bin;    // frequency in bins of the block, may be fractional
};

Samples Tones(int n, std::initializer_list<Tone> tones)
{
    Samples s(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        double v = 0;
        for (const Tone& t : tones)
            v += t.Volts * 32768 * std::sin(2 * std::numbers::pi * t.Bin * i / n + 0.4);
        s[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(std::lround(v));
    }
    return s;
}

double Db(double volts)
{
    return 20 * std::log10(volts);
}

struct Pass {
    SpectrumPass pass;
    SpectrumCurve a, b;
    PassSettings settings;

    Pass(int n, WindowKind window, int averaging = 1)
    {
        pass.Allocate(n);
        settings.View.Window = window;
        settings.View.Averaging = averaging;
    }
    void Run(const Samples& s, bool newBlock = true) { pass.Run(s, {}, settings, kPlot, a, b, newBlock); }
    double Level(int bin) const { return pass.LevelsA()[static_cast<std::size_t>(bin)]; }
    double Peak(int bin) const { return pass.PeakLevelsA()[static_cast<std::size_t>(bin)]; }
};

// A 0.5 V sine (−6.02 dBV) reads its peak on a bin in every window, and half a bin off with the
// flat top; each window has its published noise bandwidth.
struct SineCase {
    WindowKind Window;
    double Offset;     // bins off bin 300
    double Tolerance;  // dB
    double NoiseBandwidth;
};

class SineLevel : public testing::TestWithParam<SineCase> {};

TEST_P(SineLevel, ReadsItsPeak)
{
    const SineCase c = GetParam();
    Pass p(4096, c.Window);
    p.Run(Tones(4096, {{0.5, 300 + c.Offset}}));
    const double level = std::max(p.Level(300), p.Level(301));
    EXPECT_NEAR(Db(level), Db(0.5), c.Tolerance) << level << " V";
    EXPECT_NEAR(p.pass.Window().NoiseBandwidth(), c.NoiseBandwidth, 1e-4);
}

INSTANTIATE_TEST_SUITE_P(Windows, SineLevel,
                         testing::Values(SineCase{WindowKind::Rectangular, 0, 0.01, 1},
                                         SineCase{WindowKind::Hann, 0, 0.01, 1.5},
                                         SineCase{WindowKind::BlackmanHarris, 0, 0.01, 2.00435},
                                         SineCase{WindowKind::FlatTop, 0, 0.01, 3.88317},
                                         SineCase{WindowKind::FlatTop, 0.5, 0.05, 3.88317}));

// 0.99 V at 1 kHz (between bins) and 1 mV at 3 kHz, N 32768: Blackman-Harris keeps the weak tone
// 40 dB and more above the floor midway at 2 kHz; the rectangular block's leakage buries it.
class WeakTone : public testing::TestWithParam<std::pair<WindowKind, bool>> {};

TEST_P(WeakTone, StandsAboveTheFloorOnlyInAWindow)
{
    const auto [window, stands] = GetParam();
    constexpr int N = 32768;
    const auto bin = [](double hz) { return hz * N / Rate; };
    Pass p(N, window);
    p.Run(Tones(N, {{0.99, bin(1000)}, {0.001, bin(3000)}}));
    const double above = Db(p.Level(2048)) - Db(p.Level(static_cast<int>(bin(2000))));
    EXPECT_EQ(above >= 40, stands) << above << " dB";
}

INSTANTIATE_TEST_SUITE_P(Windows, WeakTone,
                         testing::Values(std::pair{WindowKind::Rectangular, false},
                                         std::pair{WindowKind::BlackmanHarris, true}));

// White noise of deviation σ = 0.1 V in blocks of N = 4096.
struct Noise {
    static constexpr int N = 4096;
    static constexpr double Sigma = 0.1;
    std::mt19937 engine{18};
    std::normal_distribution<double> normal{0, Sigma * 32768};

    Samples Block()
    {
        Samples s(N);
        for (auto& v : s)
            v = static_cast<std::int16_t>(std::lround(normal(engine)));
        return s;
    }
    // Mean and relative deviation of channel A's levels over bins 2 … N/2 − 1.
    static std::pair<double, double> Spread(const SpectrumPass& pass)
    {
        double sum = 0, squares = 0;
        const auto levels = pass.LevelsA().subspan(2, N / 2 - 2);
        for (const double v : levels) {
            sum += v;
            squares += v * v;
        }
        const double mean = sum / static_cast<double>(levels.size());
        return {mean, std::sqrt(squares / static_cast<double>(levels.size()) - mean * mean) / mean};
    }
};

// Power kind, after 64 blocks: E|X(k)|² = σ² Σw², so each bin reads
// σ² Σw² / (N/2 · Σw/N)² / ENBW = 4σ² / N whatever the window (the N/2 bins hold 2σ², as a
// sine's peak² is twice its mean power); so does the mean over the band of the last block alone.
class NoiseDensity : public testing::TestWithParam<WindowKind> {};

TEST_P(NoiseDensity, ReadsTheExpectedDensity)
{
    for (const int averaging : {64, 1}) {
        Noise noise;
        Pass p(Noise::N, GetParam(), averaging);
        p.settings.AmplitudeMode = false;
        for (int i = 0; i < 64; ++i)
            p.Run(noise.Block());
        const double expected = 4 * Noise::Sigma * Noise::Sigma / Noise::N;
        EXPECT_NEAR(10 * std::log10(Noise::Spread(p.pass).first / expected), 0, 0.5) << "averaging " << averaging;
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, NoiseDensity,
                         testing::Values(WindowKind::Rectangular, WindowKind::Hann, WindowKind::BlackmanHarris,
                                         WindowKind::FlatTop));

// A bin's power of one block spreads as much as its mean (an exponential distribution); the mean
// of n blocks spreads 1/√n of that.
class NoiseSpread : public testing::TestWithParam<int> {};

TEST_P(NoiseSpread, ShrinksAsOneOverTheRootOfTheBlocks)
{
    const int n = GetParam();
    auto spread = [](int blocks) {
        Noise noise;
        Pass p(Noise::N, WindowKind::Hann, blocks);
        p.settings.AmplitudeMode = false;
        for (int i = 0; i < blocks; ++i)
            p.Run(noise.Block());
        return Noise::Spread(p.pass).second;
    };
    EXPECT_NEAR(spread(n) / spread(1) * std::sqrt(n), 1, 0.32);
}

INSTANTIATE_TEST_SUITE_P(Blocks, NoiseSpread, testing::Values(4, 16, 64));

// Two blocks of 0.5 V on bin 100 averaged over 4 and held, then a change, then a block of 0.25 V on
// bin 200: an average that started again shows nothing on bin 100, a held peak that started again
// is the level shown.
struct ResetCase {
    const char* Change;
    void (*Apply)(Pass&);
    bool AveragesStartAgain;
    bool PeaksStartAgain;
};

class StartAgain : public testing::TestWithParam<ResetCase> {};

TEST_P(StartAgain, AveragesAndPeaks)
{
    const ResetCase c = GetParam();
    Pass p(4096, WindowKind::Rectangular, 4);
    p.settings.View.PeakHold = true;
    const Samples first = Tones(4096, {{0.5, 100}}), then = Tones(4096, {{0.25, 200}});
    p.Run(first);
    p.Run(first);
    c.Apply(p);
    p.Run(then);
    EXPECT_NEAR(p.Level(100), c.AveragesStartAgain ? 0 : std::sqrt(0.5 / 3), 1e-3) << c.Change;
    EXPECT_NEAR(p.Peak(100), c.PeaksStartAgain ? p.Level(100) : 0.5, 1e-3) << c.Change;
    EXPECT_GE(p.Peak(200), p.Level(200)) << c.Change;
}

INSTANTIATE_TEST_SUITE_P(
    Changes, StartAgain,
    testing::Values(ResetCase{"none", [](Pass&) {}, false, false},
                    ResetCase{"ResetAverages", [](Pass& p) { p.pass.ResetAverages(); }, true, false},
                    ResetCase{"ResetHold", [](Pass& p) { p.pass.ResetHold(); }, false, true},
                    ResetCase{"window", [](Pass& p) { p.settings.View.Window = WindowKind::Hann; }, true, true},
                    ResetCase{"averaging", [](Pass& p) { p.settings.View.Averaging = 16; }, true, true},
                    ResetCase{"decibels", [](Pass& p) { p.settings.View.Decibels = true; }, true, true},
                    ResetCase{"kind", [](Pass& p) { p.settings.AmplitudeMode = false; }, true, true},
                    ResetCase{"band", [](Pass& p) { p.settings.LowFrequency = 200; }, true, true},
                    ResetCase{"rate", [](Pass& p) { p.settings.SampleRate = 44100; }, true, true},
                    ResetCase{"length", [](Pass& p) { p.pass.Allocate(4096); }, true, true}),
    [](const testing::TestParamInfo<ResetCase>& info) { return std::string(info.param.Change); });

TEST(SpectrumLevels, AFrozenBlockDrawnAgainCountsOnceAndTheCsvReadsTheShownLevels)
{
    Pass p(4096, WindowKind::Hann, 4);
    const Samples first = Tones(4096, {{0.5, 100}}), then = Tones(4096, {{0.25, 200}});
    p.Run(first);
    p.Run(then);
    p.Run(then, false);
    p.Run(then, false);
    EXPECT_NEAR(p.Level(100), std::sqrt(0.25 / 2), 1e-6) << "two blocks in the average";
    const DataTable csv = p.pass.ShownLevels(then, {}, p.settings);
    EXPECT_EQ(csv[1].Values[100 - 2], p.Level(100)) << "the first column is bin 2";

    p.settings.AmplitudeMode = false;  // the levels start again from the frozen block
    const DataTable watts = p.pass.ShownLevels(then, {}, p.settings);
    EXPECT_NEAR(watts[1].Values[200 - 2], 0.0625 / 1.5, 1e-6);
    EXPECT_NEAR(watts[1].Values[100 - 2], 0, 1e-6);
}

// On the dB scale (top 0 dBV, span 100 dB) a 0.5 V sine stands 6.02 % of the height below the top
// and the empty bins, far below the span, on the bottom edge.
TEST(SpectrumLevels, TheCurvesFollowTheDecibelScale)
{
    Pass p(4096, WindowKind::Hann);
    p.settings.View.Decibels = true;
    p.Run(Tones(4096, {{0.5, 300}}));
    const auto drawn = p.a.Drawn();
    EXPECT_NEAR(std::ranges::min(drawn, {}, &ScreenPoint::y).y, kPlot.PlotTop + 0.0602 * kPlot.PlotHeight, 1);
    EXPECT_EQ(drawn[drawn.size() - 2].y, kPlot.PlotBottom()) << "the last column";
}

// On the dB scale the curves are built from the rows they keep only: they must be those built
// from every bin's point, on wide, narrow and low plots, in a narrow band and for the held peaks.
TEST(SpectrumLevels, DecibelCurvesAreThoseOfEveryBinsPoint)
{
    Noise noise;
    Pass p(Noise::N, WindowKind::Hann, 4);
    p.settings.View = {.Decibels = true, .SpanDb = 60, .Window = WindowKind::Hann, .Averaging = 4, .PeakHold = true};
    for (const bool amplitude : {true, false})
        for (const int low : {0, 20000})
            for (const auto& [width, height] : {std::pair{300, 400}, {2000, 400}, {300, 70}}) {
                p.settings.AmplitudeMode = amplitude;
                p.settings.LowFrequency = low;
                const PlotGeometry g = PlotGeometry::FromSurface(width, height);
                Samples block = noise.Block();
                for (std::size_t i = 0; i < block.size(); ++i)
                    block[i] = static_cast<std::int16_t>(block[i] + 8000 * std::sin(0.3 * static_cast<double>(i)));
                p.pass.Run(block, {}, p.settings, g, p.a, p.b);
                SpectrumCurve peak, none;
                p.pass.BuildPeakCurves(p.settings, g, peak, none);
                for (const auto& [levels, curve] : {std::pair{p.pass.LevelsA(), &p.a}, {p.pass.PeakLevelsA(), &peak}}) {
                    std::vector<double> fractions(levels.size());
                    for (std::size_t k = 0; k < levels.size(); ++k)
                        fractions[k] = LevelFraction(levels[k], amplitude, p.settings.View, 1);
                    std::vector<ScreenPoint> points(levels.size());
                    ComputeBinPoints(fractions, p.pass.Bins(), g, points);
                    SpectrumCurve expected;
                    BuildCurve(points, p.pass.Bins(), g, expected);
                    ASSERT_TRUE(std::ranges::equal(curve->Drawn(), expected.Drawn()))
                        << "amplitude " << amplitude << ", from " << low << " Hz, " << width << " × " << height;
                }
            }
}

}  // namespace
}  // namespace mirel::spectrum
