// One accepted block in the oscilloscope window (trigger search, mapping and drawing on a
// 1280 × 800 and a 3840 × 2160 surface), and the refresh period the window reaches with "Max" on
// the generator (and on a sound card, when one is named). BM_AcceptedBlockReadings is the same block
// with the readings on, measured and drawn per block; BM_ReadingsAdded what they add to it.
#include "bench/WindowBench.h"
#include "capture/GeneratorInput.h"
#include "capture/PortAudioInput.h"
#include "display/UpDown.h"
#include "oscilloscope/TFormOS.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

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

void Run(benchmark::State& state, bool readings)
{
    Scope scope(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), static_cast<int>(state.range(2)));
    scope.form.setReadingsOn(readings);
    bench::FeedBlocks(state, scope.input, scope.form, scope.block);
    state.counters["points"] = scope.form.screenPoints();
}

void BM_AcceptedBlock(benchmark::State& state)
{
    Run(state, false);
}
void BM_AcceptedBlockReadings(benchmark::State& state)
{
    Run(state, true);
}
// Readings off and on in turn: what the readings add to a block (added_us).
void BM_ReadingsAdded(benchmark::State& state)
{
    Scope scope(static_cast<int>(state.range(0)), bench::SurfaceWidth, bench::SurfaceHeight);
    bench::FeedWithReadingsToggled(state, scope);
}
// Arguments: time-base position, surface width and height.
BENCHMARK(BM_AcceptedBlock)
    ->Args({6, bench::SurfaceWidth, bench::SurfaceHeight})
    ->Args({12, bench::SurfaceWidth, bench::SurfaceHeight})
    ->Args({12, 3840, 2160})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AcceptedBlockReadings)
    ->Args({6, bench::SurfaceWidth, bench::SurfaceHeight})
    ->Args({12, bench::SurfaceWidth, bench::SurfaceHeight})
    ->Args({12, 3840, 2160})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadingsAdded)->Arg(6)->Arg(12)->Unit(benchmark::kMicrosecond);

// The refresh readout, once a second for `seconds`, of the window capturing device `deviceId` of
// `input` in real time with "Max" ticked, at time-base position 6; and the slowest of them.
void reportMaxRefresh(WaveInput& input, int deviceId, const std::string& name, int seconds)
{
    LauncherLink link;
    link.InstrumentWidth = bench::SurfaceWidth;
    link.InstrumentHeight = bench::SurfaceHeight + InstrumentWindow::ToolbarHeight + PanelHeight;
    TFormOS form(input, link);
    form.DeviceId = deviceId;
    form.SampleRate = 48000;
    form.udX->setPosition(6);
    form.udXClick();
    form.show();
    form.cbRefInt->click();
    std::vector<double> periods;
    for (int second = 0; second <= seconds; ++second) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 1000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        // «Обновление (9,4мс)»: the number between the parenthesis and "мс".
        QString title = form.gbRefreshInt->title();
        title = title.mid(title.indexOf('(') + 1).section(QString::fromUtf8("мс"), 0, 0).replace(',', '.');
        bool ok = false;
        const double period = title.toDouble(&ok);
        if (ok && second > 0)  // the first second includes the start
            periods.push_back(period);
    }
    std::sort(periods.begin(), periods.end());
    std::cout << name << " at 48000 Hz, time base position 6, Max, " << periods.size() << " readouts: ";
    if (periods.empty())
        std::cout << "none\n";
    else
        std::cout << "median " << periods[periods.size() / 2] << " ms, worst " << periods.back() << " ms (block "
                  << form.blockFrames() << " frames = " << form.blockFrames() / 48.0 << " ms), " << form.lostFrames()
                  << " frames lost between blocks\n";
    form.Shutdown();
}

}  // namespace

int main(int argc, char** argv)
{
    return bench::RunWindowBenchmarks(argc, argv, [] {
        // MIREL_BENCH_SECONDS: how long each readout runs (10 s unless set); MIREL_BENCH_SOUND_CARD:
        // the name of a sound card to measure as well (for example "pulse").
        const char* secondsText = std::getenv("MIREL_BENCH_SECONDS");
        const int seconds = secondsText ? std::max(1, std::atoi(secondsText)) : 10;
        GeneratorInput generator;
        reportMaxRefresh(generator, 0, "Generator", seconds);
        if (const char* card = std::getenv("MIREL_BENCH_SOUND_CARD")) {
            PortAudioInput cards;
            std::string name;
            for (int id = 0; id < cards.deviceCount(); ++id)
                if (cards.deviceName(id, name) == MMSYSERR_NOERROR && name == card)
                    reportMaxRefresh(cards, id, "Sound card \"" + name + "\"", seconds);
        }
    });
}
