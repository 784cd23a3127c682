// Cost of one density block: both level histograms and both curves on a 1280 × 800 surface at
// 48000 samples per second, and both channels' readings from the histograms. The argument is the
// refresh rate (1: 48000 frames, 10: 4800 frames).

#include "density/DensityPoints.h"
#include "density/DensityReadings.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace {

using namespace mirel::pv;

constexpr int kSampleRate = 48000;

struct Fixture {
    // `spread`: a sine of 0.5 V on A and noise on B; otherwise silence on both (one bin each,
    // the hardest case for the counting).
    Fixture(int refreshRate, bool spread)
        : plot(PlotGeometry::FromSurface(1280, 800)), pointsA(BinCount), pointsB(BinCount)
    {
        const int frames = SetNewBufSize(kSampleRate, refreshRate);
        block.resize(2 * static_cast<size_t>(frames), 128);
        std::mt19937 random(7);
        std::normal_distribution<double> noise(128, 25);
        for (int i = 0; spread && i < frames; ++i) {
            const double a = 128 + 64 * std::sin(2 * std::numbers::pi * 1000 * i / kSampleRate);
            block[2 * static_cast<size_t>(i)] = static_cast<std::uint8_t>(a);
            block[2 * static_cast<size_t>(i) + 1] = static_cast<std::uint8_t>(std::clamp(noise(random), 0.0, 255.0));
        }
    }

    PlotGeometry plot;
    std::vector<std::uint8_t> block;
    Histogram histA{}, histB{};
    std::vector<ScreenPoint> pointsA, pointsB;
};

void Run(benchmark::State& state, bool spread, bool normalised)
{
    Fixture f(static_cast<int>(state.range(0)), spread);
    const DisplayMode mode{normalised, 2.0, 5.0};
    for (auto _ : state) {
        ProcessData(f.block, f.plot, mode, f.histA, f.histB, f.pointsA, f.pointsB);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(f.block.size()));
}

void BM_Normalised(benchmark::State& state)
{
    Run(state, true, true);
}
void BM_Density(benchmark::State& state)
{
    Run(state, true, false);
}
void BM_NormalisedSilence(benchmark::State& state)
{
    Run(state, false, true);
}

// The readings of both channels from the block's histograms: 256 bins each, whatever the block.
void BM_MeasureLevels(benchmark::State& state)
{
    Fixture f(static_cast<int>(state.range(0)), true);
    CountLevels(f.block, f.histA, f.histB);
    for (auto _ : state) {
        benchmark::DoNotOptimize(MeasureLevels(f.histA));
        benchmark::DoNotOptimize(MeasureLevels(f.histB));
    }
}

BENCHMARK(BM_Normalised)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Density)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NormalisedSilence)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MeasureLevels)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
