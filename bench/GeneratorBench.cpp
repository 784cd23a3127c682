// Cost of the generator's output: one callback period of 512 stereo frames at 48000 Hz (10.67 ms)
// for each signal, rendered into a buffer made beforehand and converted to float samples; and the
// making of the sources, which happens when the output starts or a signal changes.

#include "capture/SignalSource.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int Rate = 48000;
constexpr int PeriodFrames = 512;
constexpr double PeriodSeconds = static_cast<double>(PeriodFrames) / Rate;

const char* const Signals[] = {
    "A=sine:1000:0.5,B=sine:997:0.5",
    "A=square:1000:0.5,B=square:440:0.5",
    "A=pulse:10:0.8,B=pulse:654:0.8",
    "A=noise:0.1,B=noise:0.1",
    "A=pink:0.1,B=pink:0.1",
    "A=sweep:20:20000:10,B=sweep:20000:20:1",
    "A=periodic:65536,B=periodic:4096",
    "A=sine:1000:0.5+noise:0.01,B=pink+noise:0.01",
};

mirel::GeneratorSpec spec(const char* text)
{
    mirel::GeneratorSpec s;
    std::string error;
    if (!mirel::parseGeneratorSpec(text, s, error))
        throw std::runtime_error(error);
    return s;
}

void RenderOnePeriod(benchmark::State& state)
{
    const char* text = Signals[state.range(0)];
    state.SetLabel(text);
    mirel::StereoSource source(spec(text), Rate, 1);
    std::vector<double> volts(2 * PeriodFrames);
    std::vector<float> samples(2 * PeriodFrames);
    std::int64_t frame = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        source.render(frame, PeriodFrames, volts.data());
        for (size_t i = 0; i < volts.size(); ++i)
            samples[i] = static_cast<float>(volts[i]);
        benchmark::DoNotOptimize(samples.data());
        benchmark::ClobberMemory();
        frame += PeriodFrames;
    }
    // The share of the callback's period that one period's rendering takes (goal: at most 5 %).
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.counters["percent_of_period"] = 100.0 * seconds / static_cast<double>(state.iterations()) / PeriodSeconds;
}
BENCHMARK(RenderOnePeriod)->DenseRange(0, std::size(Signals) - 1)->Unit(benchmark::kMicrosecond);

// Both channels' pink tables at the rate given: as at the start of the output, when the transform
// of the table's length has yet to be planned, and as at a change of level, when it is planned.
void MakePinkSources(benchmark::State& state)
{
    const mirel::GeneratorSpec pink = spec("A=pink,B=pink");
    const bool planned = state.range(1) != 0;
    const mirel::SignalSpec other = spec("A=periodic:2048").a;
    for (auto _ : state) {
        if (!planned) {
            state.PauseTiming();
            mirel::SignalSource(other, Rate, 1);  // plans another length
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(mirel::StereoSource(pink, static_cast<int>(state.range(0)), 1));
    }
}
BENCHMARK(MakePinkSources)
    ->ArgNames({"rate", "planned"})
    ->ArgsProduct({{44100, 48000, 96000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
