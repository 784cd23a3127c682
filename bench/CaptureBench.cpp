// A statistics-style capture of the generator in real time: 8-bit blocks of a fifth of a second
// at 48000 Hz, handled as the error statistics handle them (the buffer goes back first, then the
// block is examined). Reports the frames lost between blocks and the pulses counted on channel B
// against those the signal holds (10 per second, the first at the stream's first frame).
//
// Runs 10 s; MIREL_BENCH_SECONDS adds a run of that many seconds (600 for ten minutes).
#include "capture/BlockHandoff.h"
#include "capture/GeneratorInput.h"
#include "capture/TWaveRecorder.h"
#include "support/BlockCollector.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <vector>

using namespace mirel;

namespace {

constexpr int Rate = 48000;
constexpr int BlockFrames = Rate / 5;
constexpr int PulsesPerSecond = 10;  // the generator's default channel B

void BM_StatisticsRun(benchmark::State& state)
{
    const std::int64_t seconds = state.range(0);
    for (auto _ : state) {
        GeneratorInput generator;
        TWaveRecorder recorder(generator);
        test::BlockCollector window(recorder);
        QEventLoop run;
        std::vector<std::int8_t> copy(BlockFrames * 2);
        std::int64_t blocks = 0;
        std::int64_t pulses = 0;
        bool high = false;
        window.onBlock = [&](const std::vector<std::uint8_t>& block) {
            if (blocks < seconds * 5) {  // not the block in flight at the stop
                CopyUnsignedAsSigned8(block.data(), static_cast<int>(block.size()), copy.data());
                // Rising edges of channel B through half the pulse height (0.8 V is 102).
                for (size_t i = 1; i < copy.size(); i += 2) {
                    pulses += copy[i] > 51 && !high;
                    high = copy[i] > 51;
                }
                if (++blocks == seconds * 5)
                    run.quit();
            }
            window.blocks.clear();
        };
        if (!recorder.StartRecording(0, 2, Rate, 8, &window, BlockFrames, &window.buffer)) {
            state.SkipWithError(recorder.ErrorText.c_str());
            return;
        }
        run.exec();
        recorder.StopRecording();
        state.counters["blocks"] = static_cast<double>(blocks);
        state.counters["lost_frames"] = static_cast<double>(recorder.LostFrames);
        state.counters["pulses"] = static_cast<double>(pulses);
        state.counters["pulses_held"] = static_cast<double>(seconds * PulsesPerSecond);
    }
}
BENCHMARK(BM_StatisticsRun)->Arg(10)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (const char* seconds = std::getenv("MIREL_BENCH_SECONDS"); seconds && std::atoi(seconds) > 0)
        benchmark::RegisterBenchmark("BM_StatisticsRun", BM_StatisticsRun)
            ->Arg(std::atoi(seconds))
            ->Iterations(1)
            ->UseRealTime()
            ->Unit(benchmark::kSecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
