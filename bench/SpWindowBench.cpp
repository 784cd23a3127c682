// One block through the spectrum analyser window: the hand-off, both transforms, bins and curves,
// and the repaint (erase, grid, curves, frame) on a 1280 × 800 surface. The argument is the
// transform length.
#include "FakeWaveInput.h"
#include "TFormSP.h"

#include <QApplication>
#include <QCheckBox>
#include <QSlider>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdlib>

using namespace mirel;

namespace {

constexpr int SurfaceWidth = 1280;
constexpr int SurfaceHeight = 800;
// The toolbar place above and the control panel below the surface.
constexpr int ChromeHeight = InstrumentWindow::ToolbarHeight + 108;

// A spectrum analyser showing a 3 kHz sine on A and a 317 Hz one with noise on B.
struct Analyser {
    test::FakeWaveInput input;
    LauncherLink link;
    TFormSP form{input, link};
    std::vector<std::uint8_t> block;

    explicit Analyser(int fftLength)
    {
        link.InstrumentWidth = SurfaceWidth;
        link.InstrumentHeight = SurfaceHeight + ChromeHeight;
        form.SampleRate = 48000;
        form.tbAccuracy->setValue(static_cast<int>(std::log2(fftLength / 2048)));
        form.cb2k->setChecked(true);
        form.tbM1->setValue(21);
        form.show();
        QCoreApplication::processEvents();
        block.resize(static_cast<size_t>(fftLength) * 4);
        for (int i = 0; i < fftLength; ++i) {
            const auto a =
                static_cast<std::uint16_t>(static_cast<std::int16_t>(16000 * std::sin(2 * M_PI * 3000 * i / 48000.0)));
            const auto b = static_cast<std::uint16_t>(
                static_cast<std::int16_t>(9000 * std::sin(2 * M_PI * 317 * i / 48000.0) + 30 * std::sin(i * 1.7)));
            const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(a >> 8),
                                           static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(b >> 8)};
            std::copy(bytes, bytes + 4, block.begin() + 4 * i);
        }
    }

    ~Analyser()
    {
        QTimer::singleShot(0, &form, [this] { input.completeBuffer(); });
        form.Shutdown();
    }
};

void BM_Block(benchmark::State& state)
{
    Analyser analyser(static_cast<int>(state.range(0)));
    const int before = analyser.form.BlockCounter;
    for (auto _ : state) {
        analyser.input.completeBufferWith(analyser.block);
        QCoreApplication::sendPostedEvents();
    }
    if (analyser.form.BlockCounter - before != static_cast<int>(state.iterations()))
        state.SkipWithError("not every block was handled");
    if (analyser.form.FftLength != state.range(0))
        state.SkipWithError("wrong transform length");
    state.counters["surface_w"] = analyser.form.screenImage().width();
    state.counters["surface_h"] = analyser.form.screenImage().height();
    state.counters["curve_points"] = analyser.form.curveA().Used;
}
BENCHMARK(BM_Block)->Arg(2048)->Arg(32768)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
