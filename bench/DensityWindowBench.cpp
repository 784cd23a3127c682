// One block in the density window (copy, both histograms and curves, drawing on a 1280 × 800
// surface) at 48000 samples per second. The argument is the refresh rate (1: 48000 frames per
// block, 10: 4800); the *Readings cases have the readings on, measured and drawn per block.
#include "bench/WindowBench.h"
#include "density/TFormPV.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QSlider>
#include <algorithm>
#include <cmath>
#include <random>

using namespace mirel;

namespace {

// A density window showing a 1 kHz sine on A and noise on B.
struct DensityDisplay : bench::BenchWindow<TFormPV> {
    DensityDisplay(int refreshRate, bool normalised) : BenchWindow(107)
    {
        form.cb2k->setChecked(true);
        (normalised ? form.rbNM : form.rbPV)->setChecked(true);
        form.tbrps->setValue(refreshRate);
        form.show();
        QCoreApplication::processEvents();
        std::mt19937 random(7);
        std::normal_distribution<double> noise(128, 25);
        block.resize(static_cast<size_t>(form.BufferBytes));
        for (size_t i = 0; i + 1 < block.size(); i += 2) {
            block[i] = static_cast<std::uint8_t>(128 + 64 * std::sin(2 * M_PI * static_cast<double>(i / 2) / 48.0));
            block[i + 1] = static_cast<std::uint8_t>(std::clamp(noise(random), 0.0, 255.0));
        }
    }
};

void Run(benchmark::State& state, bool normalised, bool readings = false)
{
    DensityDisplay display(static_cast<int>(state.range(0)), normalised);
    display.form.setReadingsOn(readings);
    bench::FeedBlocks(state, display.input, display.form, display.block);
    state.counters["frames"] = display.form.FramesPerBlock;
}

void BM_BlockNormalised(benchmark::State& state)
{
    Run(state, true);
}
void BM_BlockDensity(benchmark::State& state)
{
    Run(state, false);
}
void BM_BlockNormalisedReadings(benchmark::State& state)
{
    Run(state, true, true);
}
void BM_BlockDensityReadings(benchmark::State& state)
{
    Run(state, false, true);
}

// Readings off and on in turn: what the readings add to a block (added_us); argument as above, density mode.
void BM_ReadingsAdded(benchmark::State& state)
{
    DensityDisplay display(static_cast<int>(state.range(0)), false);
    bench::FeedWithReadingsToggled(state, display);
}

BENCHMARK(BM_BlockNormalised)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlockDensity)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlockNormalisedReadings)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlockDensityReadings)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadingsAdded)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    return bench::RunWindowBenchmarks(argc, argv);
}
