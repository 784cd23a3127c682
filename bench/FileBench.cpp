// The audio-file input delivering 16-bit stereo blocks of 4096 frames at 48000 Hz as fast as they
// are taken: from a 48000 Hz file (played sample for sample) and from a 96000 Hz file (converted).
// Reports how many seconds of sound are delivered per second.
#include "capture/FileInput.h"
#include "capture/TWaveRecorder.h"
#include "support/BlockCollector.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <numbers>
#include <sndfile.h>
#include <vector>

using namespace mirel;

namespace {

constexpr int Rate = 48000;
constexpr int BlockFrames = 4096;
constexpr int Blocks = 120;  // about ten seconds of sound

// Two seconds of a two-tone stereo signal at `rate`.
std::string WriteFile(const QTemporaryDir& dir, int rate)
{
    const std::string path = dir.filePath(QString("tone%1.wav").arg(rate)).toStdString();
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    std::vector<float> frames(static_cast<size_t>(rate) * 2 * 2);
    for (size_t i = 0; i < frames.size() / 2; ++i) {
        const double t = static_cast<double>(i) / rate;
        frames[2 * i] = static_cast<float>(0.5 * std::sin(2 * std::numbers::pi * 1000 * t));
        frames[2 * i + 1] = static_cast<float>(0.3 * std::sin(2 * std::numbers::pi * 7000 * t));
    }
    sf_writef_float(file, frames.data(), static_cast<sf_count_t>(frames.size() / 2));
    sf_close(file);
    return path;
}

void BM_FileBlocks(benchmark::State& state)
{
    QTemporaryDir dir;
    const std::string path = WriteFile(dir, static_cast<int>(state.range(0)));
    std::string error;
    auto input = FileInput::open(path, error);
    if (!input) {
        state.SkipWithError(error.c_str());
        return;
    }
    input->setUnpaced(true);
    for (auto _ : state) {
        TWaveRecorder recorder(*input);
        test::BlockCollector window(recorder);
        size_t delivered = 0;
        window.onBlock = [&](const std::vector<std::uint8_t>&) {
            ++delivered;
            window.blocks.clear();
        };
        if (!recorder.StartRecording(0, 2, Rate, 16, &window, BlockFrames, &window.buffer)) {
            state.SkipWithError(recorder.ErrorText.c_str());
            return;
        }
        while (delivered < Blocks)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        recorder.StopRecording();
    }
    // Seconds of sound delivered per second of time.
    state.counters["sound_speed"] =
        benchmark::Counter(static_cast<double>(Blocks) * BlockFrames / Rate * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FileBlocks)->Arg(48000)->Arg(96000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
