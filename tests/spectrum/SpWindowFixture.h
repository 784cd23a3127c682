#pragma once
// The spectrum analyser window shown at a fixed size and fed through the scripted input at 48 kHz,
// with 2048-point transforms.

#include "spectrum/TFormSP.h"
#include "support/ScriptedWindowTest.h"

#include <QMenu>
#include <QSlider>
#include <cmath>
#include <vector>

namespace mirel::test {

struct SpWindowFixture : ScriptedWindowTest {
    TFormSP form{input, link};

    // 2048 points (bins 23.4 Hz apart) on a 620-pixel plot.
    void SetUp() override
    {
        form.SampleRate = 48000;
        form.tbAccuracy->setValue(0);
        showAt(form, 700, 560, 48000);
        ASSERT_TRUE(form.Running);
        ASSERT_EQ(form.FftLength, 2048);
    }

    void TearDown() override
    {
        form.popupMenu()->hide();
        finish(form);
    }

    // A sine of `peak` counts at `hz` (a multiple of 23.4375 Hz lies on a bin of 2048 points).
    static SampleFn sine(double hz, double peak = 32767)
    {
        return
            [=](int i) { return static_cast<std::int16_t>(std::lround(peak * std::sin(2 * M_PI * hz * i / 48000))); };
    }
    void feed(const SampleFn& a, const SampleFn& b = {}) { deliver(StereoFrames(a, b)); }

    // The plot column of a frequency in the band 0 … 24 kHz.
    int columnOf(double hz) const
    {
        const auto& g = form.geometry();
        const double bin = hz * form.FftLength / 48000;
        return static_cast<int>((bin - 1) * g.PlotWidth / (form.FftLength / 2 - 1) + g.PlotLeft);
    }

    // Pixels of `colour` inside the plot and above its bottom rows (where a quiet spectrum lies).
    std::vector<QPoint> raised(Rgb colour) const
    {
        const QImage& image = form.screenImage();
        const auto& g = form.geometry();
        std::vector<QPoint> found;
        for (int y = g.PlotTop; y < g.PlotBottom() - 3; ++y)
            for (int x = g.PlotLeft; x < g.PlotRight(); ++x)
                if ((image.pixel(x, y) & 0xFFFFFF) == colour)
                    found.emplace_back(x, y);
        return found;
    }
    // The highest pixel of `colour` near a column (its y), or the plot's bottom when there is none.
    int topNear(int x, Rgb colour) const
    {
        int top = form.geometry().PlotBottom();
        for (const QPoint& p : raised(colour))
            if (std::abs(p.x() - x) <= 1)
                top = std::min(top, p.y());
        return top;
    }
};

}  // namespace mirel::test
