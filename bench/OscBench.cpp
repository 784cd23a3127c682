// Cost of one taken oscilloscope block: trigger search and mapping of both channels, on a
// 1280 × 800 surface at 48000 samples per second, and the automatic measurements of both channels.
// The argument is the time-base spinner position (6: 153 points, 12: 15360 points).

#include "oscilloscope/OscReadings.h"
#include "oscilloscope/OscScales.h"
#include "oscilloscope/Synchronize.h"
#include "oscilloscope/TracePoints.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

using namespace mirel::osc;

constexpr int kSampleRate = 48000;

struct Fixture {
    explicit Fixture(int timeBasePosition)
        : sizes(SetNewBufSize(kSampleRate, TimeBaseAt(timeBasePosition))),
          geometry(PlotGeometry::FromSurface(1280, 800))
    {
        std::vector<std::int16_t> a(static_cast<size_t>(sizes.BlockFrames)), b(a.size());
        for (size_t i = 0; i < a.size(); ++i) {
            const double t = static_cast<double>(i) / kSampleRate;
            a[i] = static_cast<std::int16_t>(20000 * std::sin(2 * std::numbers::pi * 1000 * t + 0.3));
            b[i] = static_cast<std::int16_t>(9000 * std::sin(2 * std::numbers::pi * 317 * t + 1.1));
        }
        bytes = InterleaveFrames(a, b);
        traces.Allocate(sizes.ScreenPoints);
        scales.ScreenPoints = sizes.ScreenPoints;
        scales.A = {true, 1, 10};
        scales.B = {true, 2.5, -10};
        scales.ShiftX = 0;
    }

    BufferSizes sizes;
    PlotGeometry geometry;
    std::vector<std::uint8_t> bytes;
    mirel::TraceSet traces;
    TraceScales scales;
};

void BM_Synchronize(benchmark::State& state)
{
    Fixture f(static_cast<int>(state.range(0)));
    const BlockView view(f.bytes);
    for (auto _ : state)
        benchmark::DoNotOptimize(Synchronize("AB", view));
}

void BM_ProcessData(benchmark::State& state)
{
    Fixture f(static_cast<int>(state.range(0)));
    const BlockView view(f.bytes);
    const TriggerOffsets triggers = Synchronize("AB", view);
    for (auto _ : state) {
        ProcessData(view, triggers, f.geometry, f.scales, f.traces.TraceA, f.traces.TraceB);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 2 * f.sizes.ScreenPoints);
}

void BM_SynchronizeAndProcessData(benchmark::State& state)
{
    Fixture f(static_cast<int>(state.range(0)));
    const BlockView view(f.bytes);
    for (auto _ : state) {
        const TriggerOffsets triggers = Synchronize("AB", view);
        ProcessData(view, triggers, f.geometry, f.scales, f.traces.TraceA, f.traces.TraceB);
        f.traces.Remember();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 2 * f.sizes.ScreenPoints);
}

// Both channels' readings over the whole block (453 or 15660 frames).
void BM_MeasureChannels(benchmark::State& state)
{
    Fixture f(static_cast<int>(state.range(0)));
    const BlockView view(f.bytes);
    for (auto _ : state) {
        benchmark::DoNotOptimize(MeasureChannel(view, Channel::A, kSampleRate));
        benchmark::DoNotOptimize(MeasureChannel(view, Channel::B, kSampleRate));
    }
    state.SetItemsProcessed(state.iterations() * 2 * f.sizes.BlockFrames);
}

BENCHMARK(BM_Synchronize)->Arg(6)->Arg(12);
BENCHMARK(BM_ProcessData)->Arg(6)->Arg(12);
BENCHMARK(BM_SynchronizeAndProcessData)->Arg(6)->Arg(12);
BENCHMARK(BM_MeasureChannels)->Arg(6)->Arg(12)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
