// Cost of counting one statistics block: 9600 frames (0.2 s at 48000 samples per second) of a
// busy input, both channels swinging, so that the crossing pass runs on each.

#include "statistics/ErrorRun.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

void CountOneBlock(benchmark::State& state)
{
    constexpr int frames = 9600;
    std::vector<std::int8_t> block(2 * frames);
    for (int i = 0; i < frames; ++i) {
        block[2 * i] = static_cast<std::int8_t>(100 * std::sin(2 * std::numbers::pi * 1000 * i / 48000.0));
        block[2 * i + 1] = static_cast<std::int8_t>(i % 480 < 24 ? 90 : 0);
    }
    mirel::er::ErrorRun run;
    for (auto _ : state) {
        if (run.Complete())
            run.Reset(48000, 600);
        benchmark::DoNotOptimize(run.ProcessData(block.data(), frames));
    }
}
BENCHMARK(CountOneBlock);

}  // namespace

BENCHMARK_MAIN();
