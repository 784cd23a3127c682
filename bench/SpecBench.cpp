// Cost of one spectrum block without the window: both transforms, bins, points and curves on a
// 1280 × 800 surface at 48000 samples per second. The argument is the transform length. And one
// line of the spectrogram.

#include "spectrum/SpectrogramLines.h"
#include "spectrum/SpectrogramRaster.h"
#include "spectrum/SpectrumBins.h"
#include "spectrum/SpectrumReadings.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <span>
#include <vector>

namespace {

using namespace mirel::spectrum;

struct Fixture {
    explicit Fixture(int n) : a(static_cast<std::size_t>(n)), b(a.size())
    {
        for (std::size_t i = 0; i < a.size(); ++i) {
            const double t = static_cast<double>(i) / 48000;
            a[i] =
                static_cast<std::int16_t>(16000 * std::sin(2 * std::numbers::pi * 3000 * t) + 50 * std::sin(i * 1.7));
            b[i] = static_cast<std::int16_t>(9000 * std::sin(2 * std::numbers::pi * 317 * t + 1.1));
        }
        pass.Allocate(n);
        settings.ShowB = true;
    }

    std::vector<std::int16_t> a, b;
    SpectrumPass pass;
    PassSettings settings;
    SpectrumCurve curveA, curveB;
    PlotGeometry geometry = PlotGeometry::FromSurface(1280, 800);
};

void BM_Transform(benchmark::State& state)
{
    Fixture f(static_cast<int>(state.range(0)));
    RealFft fft;
    fft.SetLength(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        fft.Transform(f.a);
        benchmark::DoNotOptimize(fft.Bins().data());
    }
}

void BM_ProcessData(benchmark::State& state)
{
    Fixture f(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        f.pass.Run(f.a, f.b, f.settings, f.geometry, f.curveA, f.curveB);
        benchmark::ClobberMemory();
    }
    state.counters["curve_points"] = f.curveA.Used;
}

// The same pass for audio work: Blackman-Harris window, power averaged over 64 blocks and the
// peaks held, with the peak curves built too; the argument 1 puts the levels on the dB scale.
void BM_ProcessWindowedAveraged(benchmark::State& state)
{
    Fixture f(32768);
    f.settings.View = {
        .Decibels = state.range(0) != 0, .Window = WindowKind::BlackmanHarris, .Averaging = 64, .PeakHold = true};
    SpectrumCurve peakA, peakB;
    for (auto _ : state) {
        f.pass.Run(f.a, f.b, f.settings, f.geometry, f.curveA, f.curveB);
        f.pass.BuildPeakCurves(f.settings, f.geometry, peakA, peakB);
        benchmark::ClobberMemory();
    }
}

// The automatic measurements of one channel from the bins the pass kept.
void BM_Readings(benchmark::State& state)
{
    Fixture f(static_cast<int>(state.range(0)));
    f.pass.Run(f.a, f.b, f.settings, f.geometry, f.curveA, f.curveB);
    for (auto _ : state)
        benchmark::DoNotOptimize(MeasureSpectrum(f.pass.TransformA(), 48000));
}

// One spectrogram line at 100 lines per second with both channels shown: both transforms of 8192
// samples through the Hann window, their levels in dB, and a row in each channel's picture, the
// two stripes of the 1280 × 800 plot.
void BM_SpectrogramLine(benchmark::State& state)
{
    Fixture f(48000);
    SpectrogramLines lines;
    lines.Configure({48000, 8192, 100, WindowKind::Hann, true, 0, 24000, false, 800});
    PlotGeometry stripe = f.geometry;
    stripe.PlotHeight = (f.geometry.PlotHeight - 10) / 2;
    SpectrogramRaster rasterA, rasterB;
    rasterA.Configure({48000, 8192, 0, 24000, false}, stripe);
    rasterB.Configure({48000, 8192, 0, 24000, false}, stripe);
    const auto samples = std::span<const std::int16_t>(f.a);
    lines.Feed(samples.first(8192 - 480), std::span<const std::int16_t>(f.b).first(8192 - 480));
    std::size_t at = 8192 - 480;
    for (auto _ : state) {
        at = at + 480 <= f.a.size() ? at : 0;
        lines.Feed(samples.subspan(at, 480), std::span<const std::int16_t>(f.b).subspan(at, 480));
        at += 480;
        rasterA.AddLine(lines.LineDb(0, 0), 0, 100, ColourMap::Viridis);
        rasterB.AddLine(lines.LineDb(1, 0), 0, 100, ColourMap::Viridis);
        benchmark::ClobberMemory();
    }
    state.counters["lines"] = lines.Count();
}

BENCHMARK(BM_Transform)->Arg(2048)->Arg(32768)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ProcessData)->Arg(2048)->Arg(32768)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ProcessWindowedAveraged)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Readings)->Arg(32768)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SpectrogramLine)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
