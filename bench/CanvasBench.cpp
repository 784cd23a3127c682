// Drawing on a 1280 × 800 picture: a curve erased and drawn again (153 points, and 15360 as at the
// oscilloscope's longest sweep), a dotted grid, and the way of a small change and of a cleared
// surface to the screen.
#include "bench/WindowBench.h"
#include "common/ScreenPoint.h"
#include "display/Canvas.h"
#include "display/DrawingSurface.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cmath>
#include <vector>

using namespace mirel;

namespace {

constexpr int Width = bench::SurfaceWidth;
constexpr int Height = bench::SurfaceHeight;

// A sine of 80 pixels' amplitude across the picture, `periods` times.
std::vector<ScreenPoint> Sine(int points, double periods, double phase)
{
    std::vector<ScreenPoint> curve(static_cast<size_t>(points));
    for (int i = 0; i < points; ++i) {
        const double t = static_cast<double>(i) / (points - 1);
        curve[static_cast<size_t>(i)] = {
            static_cast<int>(20 + t * (Width - 40)),
            static_cast<int>(Height / 2 - 80 * std::sin(2 * M_PI * (periods * t + phase)))};
    }
    return curve;
}

// A hidden surface: its picture, laid out as on screen, without the way to the screen.
struct Picture {
    DrawingSurface surface;
    Picture()
    {
        surface.resize(Width, Height);
        surface.setBackgroundColor(0x000000);
        surface.clear();
    }
};

void BM_CurveRedraw(benchmark::State& state)
{
    const int points = static_cast<int>(state.range(0));
    Picture picture;
    Canvas& canvas = picture.surface.canvas();
    std::vector<ScreenPoint> old = Sine(points, points / 48.0, 0.0), next = Sine(points, points / 48.0, 0.3);
    for (auto _ : state) {
        canvas.setPenColor(0x000000);
        canvas.polyline(old);
        canvas.setPenColor(0x00FF00);
        canvas.polyline(next);
        std::swap(old, next);
    }
    state.counters["lines"] = benchmark::Counter(2.0 * (points - 1), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_CurveRedraw)->Arg(153)->Arg(15360)->Unit(benchmark::kMicrosecond);

void BM_DottedGrid(benchmark::State& state)
{
    Picture picture;
    Canvas& canvas = picture.surface.canvas();
    canvas.setPenStyle(Canvas::PenStyle::Dotted);
    canvas.setPenColor(0x808080);
    canvas.setBrushColor(0x000000);
    for (auto _ : state) {
        for (int i = 1; i < 32; ++i) {
            canvas.moveTo(20 + i * (Width - 40) / 32, 20);
            canvas.lineTo(20 + i * (Width - 40) / 32, Height - 20);
        }
        for (int i = 1; i < 24; ++i) {
            canvas.moveTo(20, 20 + i * (Height - 40) / 24);
            canvas.lineTo(Width - 20, 20 + i * (Height - 40) / 24);
        }
    }
}
BENCHMARK(BM_DottedGrid)->Unit(benchmark::kMicrosecond);

// A shown surface; argument 0: a 40-pixel line drawn, 1: the whole surface cleared.
void BM_SurfaceToScreen(benchmark::State& state)
{
    DrawingSurface surface;
    surface.resize(Width, Height);
    surface.show();
    QCoreApplication::processEvents();
    Canvas& canvas = surface.canvas();
    int colour = 0;
    for (auto _ : state) {
        canvas.setPenColor(++colour & 0xFFFFFF);
        if (state.range(0) == 0) {
            canvas.moveTo(600, 400);
            canvas.lineTo(640, 410);
        } else {
            surface.clear();
        }
        QCoreApplication::sendPostedEvents();
    }
}
BENCHMARK(BM_SurfaceToScreen)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    return bench::RunWindowBenchmarks(argc, argv);
}
