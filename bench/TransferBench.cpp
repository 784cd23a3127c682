// Cost of one transfer-function result at 48000 samples per second, transform length 16384: the
// hop's frames into the ring, both transforms, the average, a 1/12-octave smoothing, coherence and
// the per-bin output of 20 Hz … 20 kHz. And one delay search over the kept seconds.

#include "transfer/TransferAnalyser.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <span>
#include <vector>

namespace {

using namespace mirel::transfer;

struct Fixture {
    Fixture()
    {
        std::mt19937 random(1);
        std::normal_distribution<double> normal(0, 6000);
        frames.resize(2 * 48000 * 3);
        double y = 0;
        for (std::size_t i = 0; i < frames.size(); i += 2) {
            const double x = normal(random);
            y = 0.7 * y + 0.3 * x;
            frames[i] = static_cast<std::int16_t>(x);
            frames[i + 1] = static_cast<std::int16_t>(y);
        }
        settings.Smoothing = 12;
        analyser.SetRate(48000);
        analyser.SetSettings(settings);
        analyser.Feed(frames);
        analyser.FindDelay();
    }

    std::vector<std::int16_t> frames;
    TransferSettings settings;
    TransferAnalyser analyser;
};

// The argument: whether the phase has the delay taken out.
void BM_Result(benchmark::State& state)
{
    Fixture f;
    f.settings.CompensateDelay = state.range(0) != 0;
    f.analyser.SetSettings(f.settings);
    const std::size_t hop = 2 * static_cast<std::size_t>(f.settings.FftLength / 4);
    std::size_t at = 0;
    for (auto _ : state) {
        if (at + hop > f.frames.size())
            at = 0;
        if (f.analyser.Feed(std::span(f.frames).subspan(at, hop)) != 1)
            state.SkipWithError("no result");
        at += hop;
        benchmark::DoNotOptimize(f.analyser.Points().data());
    }
    state.counters["points"] = static_cast<double>(f.analyser.Points().size());
}

void BM_FindDelay(benchmark::State& state)
{
    Fixture f;
    for (auto _ : state)
        benchmark::DoNotOptimize(f.analyser.FindDelay().Samples);
}

}  // namespace

BENCHMARK(BM_Result)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindDelay)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
