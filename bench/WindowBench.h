#pragma once
// What the window benchmarks share: the surface size they measure on, a 16-bit stereo block, one
// prepared block handed to the window per iteration through the scripted input, and a main() in an
// offscreen QApplication.

#include "support/FakeWaveInput.h"
#include "windows/GraphicWindow.h"
#include "windows/LauncherLink.h"

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

namespace mirel::bench {

inline constexpr int SurfaceWidth = 1280;
inline constexpr int SurfaceHeight = 800;

// A block of `frames` 16-bit stereo frames, little-endian, channel A first, each channel given per
// frame.
inline std::vector<std::uint8_t> StereoBlock(int frames, const std::function<double(int)>& a,
                                             const std::function<double(int)>& b)
{
    std::vector<std::uint8_t> block;
    block.reserve(static_cast<std::size_t>(frames) * 4);
    for (int i = 0; i < frames; ++i) {
        for (const double sample : {a(i), b(i)}) {
            const auto bits = static_cast<std::uint16_t>(static_cast<std::int16_t>(sample));
            block.push_back(static_cast<std::uint8_t>(bits & 0xFF));
            block.push_back(static_cast<std::uint8_t>(bits >> 8));
        }
    }
    return block;
}

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

// Hands `block` to the window with its readings off and on in turn, and reports as added_us the
// median of what a block with them cost more than the block before it without them. Separate runs
// drift apart on a busy machine by more than the readings cost; neighbouring blocks do not. The
// switch itself is not timed.
template <class Window>
void FeedWithReadingsToggled(benchmark::State& state, Window& w)
{
    using Clock = std::chrono::steady_clock;
    const auto feed = [&w] {
        const auto start = Clock::now();
        w.input.completeBufferWith(w.block);
        QCoreApplication::sendPostedEvents();
        return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    };
    std::vector<double> added;
    const int before = w.form.BlockCounter;
    for (auto _ : state) {
        w.form.setReadingsOn(false);
        const double off = feed();
        w.form.setReadingsOn(true);
        added.push_back(feed() - off);
    }
    if (w.form.BlockCounter - before != 2 * static_cast<int>(state.iterations()))
        state.SkipWithError("not every block was handled");
    std::nth_element(added.begin(), added.begin() + static_cast<std::ptrdiff_t>(added.size() / 2), added.end());
    state.counters["added_us"] = added.empty() ? 0 : added[added.size() / 2];
}

// Ends the window's capture quickly: the card delivers the block in flight while the stop waits.
inline void FinishCapture(test::FakeWaveInput& input, InstrumentWindow& window)
{
    QTimer::singleShot(0, &window, [&input] { input.completeBuffer(); });
    window.Shutdown();
}

// A window of type Form on the scripted input at 48000 Hz, sized so that its surface is
// SurfaceWidth × SurfaceHeight under the toolbar and a control panel `panelHeight` pixels high,
// with the block it is to be fed; its capture ends with it.
template <class Form>
struct BenchWindow {
    test::FakeWaveInput input;
    LauncherLink link;
    Form form{input, link};
    std::vector<std::uint8_t> block;

    explicit BenchWindow(int panelHeight)
    {
        link.InstrumentWidth = SurfaceWidth;
        link.InstrumentHeight = SurfaceHeight + InstrumentWindow::ToolbarHeight + panelHeight;
        form.SampleRate = 48000;
    }
    ~BenchWindow() { FinishCapture(input, form); }
    BenchWindow(const BenchWindow&) = delete;
    BenchWindow& operator=(const BenchWindow&) = delete;
};

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
