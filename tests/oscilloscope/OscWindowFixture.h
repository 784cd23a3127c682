#pragma once
// The oscilloscope window shown at a fixed size and fed through the scripted input at 48 kHz.

#include "oscilloscope/TFormOS.h"
#include "support/ScriptedWindowTest.h"

#include <QMenu>
#include <cmath>
#include <vector>

namespace mirel::test {

struct OscWindowFixture : ScriptedWindowTest {
    TFormOS form{input, link};
    int windowWidth = 700;  // a test may change the size in its constructor
    int windowHeight = 560;

    void SetUp() override
    {
        showAt(form, windowWidth, windowHeight, 48000);
        ASSERT_TRUE(form.Running);
    }

    void TearDown() override
    {
        form.PMenu->hide();
        finish(form);
    }

    // One block from the card, taken or not as the sweep decides.
    void feed(const SampleFn& a, const SampleFn& b = {}) { deliver(StereoFrames(a, b)); }
    // The pacing asks for the next block, and the card delivers it.
    void show(const SampleFn& a, const SampleFn& b = {})
    {
        form.TimerGetNewDataTimer();
        feed(a, b);
    }

    static std::int16_t sine(int frame)
    {
        return static_cast<std::int16_t>(16000 * std::sin(2 * M_PI * 1000 * frame / 48000.0));
    }
    static std::int16_t silence(int) { return 0; }
    // A sine of `period` frames that rises through zero between frames `crossing` − 1 and
    // `crossing`, with no sample at zero, so that the trigger finds that crossing.
    static SampleFn risingSine(int period, int crossing, double amplitude)
    {
        return [=](int frame) {
            return static_cast<std::int16_t>(amplitude * std::sin(2 * M_PI * (frame - crossing + 0.5) / period));
        };
    }

    // The plot area's centre line, where a silent channel is drawn.
    int middle() const { return static_cast<int>(form.geometry().PlotTop + form.geometry().PlotHalfHeight); }

    // Pixels of `colour` inside the plot area (labels outside it share the channel colours).
    std::vector<QPoint> plotPixels(Rgb colour) const
    {
        const QImage& image = form.screenImage();
        const auto& g = form.geometry();
        std::vector<QPoint> found;
        for (int y = static_cast<int>(g.PlotTop); y < static_cast<int>(g.PlotTop + g.PlotHeight); ++y)
            for (int x = static_cast<int>(g.PlotLeft); x < static_cast<int>(g.PlotLeft + g.PlotWidth); ++x)
                if ((image.pixel(x, y) & 0xFFFFFF) == colour)
                    found.emplace_back(x, y);
        return found;
    }
};

}  // namespace mirel::test
