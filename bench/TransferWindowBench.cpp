// One result through the transfer function window at 48 kHz: the block's hand-off, both transforms,
// average, 1/12-octave smoothing, coherence, and the repaint of the three curves on a 1280 × 800
// surface. The argument is the transform length; BM_ResultReadings has the readings box on.
#include "bench/WindowBench.h"
#include "transfer/TFormTF.h"

#include <QComboBox>
#include <random>

using namespace mirel;

namespace {

// Noise on A and a low-passed copy of it with a little noise of its own on B.
struct Window : bench::BenchWindow<TFormTF> {
    explicit Window(int fftLength) : BenchWindow(112)
    {
        form.cbN->setCurrentText(QString::number(fftLength));
        form.cbSmoothing->setCurrentText("1/12");
        form.show();
        QCoreApplication::processEvents();
        std::mt19937 random(1);
        std::normal_distribution<double> normal(0, 6000);
        std::vector<double> a(static_cast<std::size_t>(fftLength / 4)), b(a.size());
        double y = 0;
        for (std::size_t i = 0; i < a.size(); ++i) {
            a[i] = normal(random);
            y = 0.7 * y + 0.3 * a[i];
            b[i] = y + normal(random) / 100;
        }
        block = bench::StereoBlock(
            static_cast<int>(a.size()), [&](int i) { return a[static_cast<std::size_t>(i)]; },
            [&](int i) { return b[static_cast<std::size_t>(i)]; });
        // Until the first result: a transform's worth of frames.
        for (int i = 0; i < 4; ++i) {
            input.completeBufferWith(block);
            QCoreApplication::sendPostedEvents();
        }
    }
};

void Run(benchmark::State& state, bool readings)
{
    Window w(static_cast<int>(state.range(0)));
    if (w.form.analyser().Settings().FftLength != state.range(0) || w.form.ResultCount() == 0)
        state.SkipWithError("no result at this transform length");
    w.form.setReadingsOn(readings);
    const int before = w.form.ResultCount();
    bench::FeedBlocks(state, w.input, w.form, w.block);
    if (w.form.ResultCount() - before != static_cast<int>(state.iterations()))
        state.SkipWithError("a block did not make one result");
    state.counters["bins"] = static_cast<double>(w.form.analyser().Points().size());
}

void BM_Result(benchmark::State& state)
{
    Run(state, false);
}
void BM_ResultReadings(benchmark::State& state)
{
    Run(state, true);
}
BENCHMARK(BM_Result)->Arg(16384)->Arg(65536)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ResultReadings)->Arg(16384)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    return bench::RunWindowBenchmarks(argc, argv);
}
