// One accepted block in the oscilloscope window (trigger search, mapping and drawing on a
// 1280 × 800 and a 3840 × 2160 surface), and the refresh period the window reaches with "Max" on
// the generator.
#include "GeneratorInput.h"
#include "TFormOS.h"
#include "UpDown.h"
#include "WindowBench.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdlib>
#include <iostream>

using namespace mirel;

namespace {

constexpr int PanelHeight = 108;

// An oscilloscope showing a 1 kHz sine on both channels, at time-base position `position`, on a
// surface of `width` × `height`.
struct Scope : bench::BenchWindow<TFormOS> {
    Scope(int position, int width, int height) : BenchWindow(PanelHeight)
    {
        link.InstrumentWidth = width;
        link.InstrumentHeight = height + InstrumentWindow::ToolbarHeight + PanelHeight;
        form.udX->setPosition(position);
        form.udXClick();
        form.cb2k->setChecked(true);
        form.show();
        QCoreApplication::processEvents();
        form.cbRefInt->click();  // "Max": every block that arrives is taken
        form.TimerGetNewDataTimer();
        block = bench::StereoBlock(
            form.blockFrames(), [](int i) { return 16000 * std::sin(2 * M_PI * i / 48.0); },
            [](int i) { return 8000 * std::sin(2 * M_PI * i / 96.0); });
    }
};

void BM_AcceptedBlock(benchmark::State& state)
{
    Scope scope(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), static_cast<int>(state.range(2)));
    bench::FeedBlocks(state, scope.input, scope.form, scope.block);
    state.counters["points"] = scope.form.screenPoints();
}
// Arguments: time-base position, surface width and height.
BENCHMARK(BM_AcceptedBlock)
    ->Args({6, bench::SurfaceWidth, bench::SurfaceHeight})
    ->Args({12, bench::SurfaceWidth, bench::SurfaceHeight})
    ->Args({12, 3840, 2160})
    ->Unit(benchmark::kMicrosecond);

// The refresh readout after a few seconds of the real-time generator with "Max" ticked.
void reportMaxRefresh()
{
    GeneratorInput generator;
    LauncherLink link;
    link.InstrumentWidth = bench::SurfaceWidth;
    link.InstrumentHeight = bench::SurfaceHeight + InstrumentWindow::ToolbarHeight + PanelHeight;
    TFormOS form(generator, link);
    form.SampleRate = 48000;
    form.show();
    form.cbRefInt->click();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 3500)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    std::cout << "Generator at 48000 Hz, time base position 6, Max: " << form.gbRefreshInt->title().toStdString()
              << " (block " << form.blockFrames() << " frames = " << form.blockFrames() / 48.0 << " ms)\n";
    form.Shutdown();
}

}  // namespace

int main(int argc, char** argv)
{
    return bench::RunWindowBenchmarks(argc, argv, reportMaxRefresh);
}
