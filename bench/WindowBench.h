#pragma once
// What the window benchmarks share: the surface size they measure on, one prepared block handed to
// the window per iteration through the scripted input, and a main() in an offscreen QApplication.

#include "FakeWaveInput.h"
#include "GraphicWindow.h"

#include <QApplication>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

namespace mirel::bench {

inline constexpr int SurfaceWidth = 1280;
inline constexpr int SurfaceHeight = 800;

// Hands `block` to the window once per iteration; fails the run unless the window handled each.
inline void FeedBlocks(benchmark::State& state, test::FakeWaveInput& input, GraphicWindow& window,
                       const std::vector<std::uint8_t>& block)
{
    const int before = window.BlockCounter;
    for (auto _ : state) {
        input.completeBufferWith(block);
        QCoreApplication::sendPostedEvents();
    }
    if (window.BlockCounter - before != static_cast<int>(state.iterations()))
        state.SkipWithError("not every block was handled");
    state.counters["surface_w"] = window.surface()->image().width();
    state.counters["surface_h"] = window.surface()->image().height();
}

// Ends the window's capture quickly: the card delivers the block in flight while the stop waits.
inline void FinishCapture(test::FakeWaveInput& input, InstrumentWindow& window)
{
    QTimer::singleShot(0, &window, [&input] { input.completeBuffer(); });
    window.Shutdown();
}

// Runs the benchmarks named on the command line, then `after`.
inline int RunWindowBenchmarks(int argc, char** argv, const std::function<void()>& after = {})
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (after)
        after();
    return 0;
}

}  // namespace mirel::bench
