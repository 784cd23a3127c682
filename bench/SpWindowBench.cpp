// One block through the spectrum analyser window: the hand-off, both transforms, bins and curves,
// and the repaint (erase, grid, curves, frame) on a 1280 × 800 surface. The argument is the
// transform length; the *Readings cases have the readings on, so that both channels are measured
// and the box drawn per block; BM_ReadingsAdded what they add to it.
#include "bench/WindowBench.h"
#include "spectrum/TFormSP.h"

#include <QCheckBox>
#include <QSlider>
#include <cmath>
#include <utility>

using namespace mirel;

namespace {

// A spectrum analyser showing a 3 kHz sine on A and a 317 Hz one with a little noise on B.
struct Analyser : bench::BenchWindow<TFormSP> {
    explicit Analyser(int fftLength) : BenchWindow(108)
    {
        form.tbAccuracy->setValue(static_cast<int>(std::log2(fftLength / 2048)));
        form.cb2k->setChecked(true);
        form.tbM1->setValue(21);
        form.show();
        QCoreApplication::processEvents();
        block = bench::StereoBlock(
            fftLength, [](int i) { return 16000 * std::sin(2 * M_PI * 3000 * i / 48000.0); },
            [](int i) { return 9000 * std::sin(2 * M_PI * 317 * i / 48000.0) + 30 * std::sin(i * 1.7); });
    }
};

void Run(benchmark::State& state, bool readings, bool audioView = false)
{
    Analyser analyser(static_cast<int>(state.range(0)));
    if (analyser.form.FftLength != state.range(0))
        state.SkipWithError("wrong transform length");
    analyser.form.setReadingsOn(readings);
    if (audioView)
        for (const auto& [name, word] : {std::pair{"levelScale", "db"},
                                         {"frequencyScale", "log"},
                                         {"window", "blackman"},
                                         {"averaging", "64"},
                                         {"peakHold", "1"}})
            analyser.form.setViewChoice(name, word);
    QCoreApplication::processEvents();
    bench::FeedBlocks(state, analyser.input, analyser.form, analyser.block);
    state.counters["curve_points"] = analyser.form.curveA().Used;
}

void BM_Block(benchmark::State& state)
{
    Run(state, false);
}
void BM_BlockReadings(benchmark::State& state)
{
    Run(state, true);
}
// Decibels, the logarithmic axis, Blackman-Harris, averaging over 64 blocks and held peaks.
void BM_BlockAudioView(benchmark::State& state)
{
    Run(state, false, true);
}
// Readings off and on in turn: what the readings add to a block (added_us).
void BM_ReadingsAdded(benchmark::State& state)
{
    Analyser analyser(static_cast<int>(state.range(0)));
    bench::FeedWithReadingsToggled(state, analyser);
}
// The spectrogram at 100 lines a second: each block of a line's step makes one line of both
// channels, coloured into both stripes and copied onto the display.
void BM_SpectrogramBlock(benchmark::State& state)
{
    Analyser analyser(static_cast<int>(state.range(0)));
    analyser.form.setViewChoice("lines", "100");
    analyser.form.setViewChoice("spectrogram", "1");
    QCoreApplication::processEvents();
    const int frames = analyser.form.BufferBytes / 4;
    analyser.block = bench::StereoBlock(
        frames, [](int i) { return 16000 * std::sin(2 * M_PI * 3000 * i / 48000.0); },
        [](int i) { return 9000 * std::sin(2 * M_PI * 317 * i / 48000.0) + 30 * std::sin(i * 1.7); });
    // Until the first line: a transform's worth of samples.
    for (int fed = 0; fed < analyser.form.FftLength; fed += frames) {
        analyser.input.completeBufferWith(analyser.block);
        QCoreApplication::sendPostedEvents();
    }
    bench::FeedBlocks(state, analyser.input, analyser.form, analyser.block);
    state.counters["lines"] = analyser.form.spectrogramLines().Count();
}
BENCHMARK(BM_Block)->Arg(2048)->Arg(32768)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlockReadings)->Arg(2048)->Arg(32768)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlockAudioView)->Arg(32768)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadingsAdded)->Arg(2048)->Arg(32768)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SpectrogramBlock)->Arg(8192)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    return bench::RunWindowBenchmarks(argc, argv);
}
