#pragma once
// Base of the tests that feed an instrument window through the scripted input: the input, the
// launcher link, showing a window at a given size, handing it filled buffers and ending its capture.

#include "support/FakeWaveInput.h"
#include "windows/InstrumentWindow.h"
#include "windows/LauncherLink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>

namespace mirel::test {

using SampleFn = std::function<std::int16_t(int frame)>;

// Byte filler of a 16-bit stereo block, little-endian: channel A and B per frame (B silent when
// not given).
inline std::function<std::uint8_t(int)> StereoFrames(SampleFn a, SampleFn b = {})
{
    return [a = std::move(a), b = std::move(b)](int byte) {
        const int frame = byte / 4;
        const std::int16_t sample = byte % 4 < 2 ? a(frame) : (b ? b(frame) : 0);
        const auto bits = static_cast<std::uint16_t>(sample);
        return static_cast<std::uint8_t>(byte % 2 == 0 ? bits & 0xFF : bits >> 8);
    };
}

struct ScriptedWindowTest : ::testing::Test {
    FakeWaveInput input;
    LauncherLink link;

    // Shows the window as the launcher does: the handed-over size, then the window's own start.
    void showAt(InstrumentWindow& window, int width, int height, int rate)
    {
        link.InstrumentWidth = width;
        link.InstrumentHeight = height;
        window.SampleRate = rate;
        window.show();
        QCoreApplication::processEvents();
    }

    // The card fills the queued buffer and the window handles it.
    void deliver(const std::function<std::uint8_t(int)>& fill)
    {
        ASSERT_TRUE(input.completeBuffer(fill)) << "no buffer was queued";
        QCoreApplication::processEvents();
    }

    // The card delivers the block in flight while a stop that starts now waits for it.
    void whileStopping(QObject& window)
    {
        QTimer::singleShot(0, &window, [this] { input.completeBuffer(); });
    }

    // The card's stream fails; true once the window has noticed (within two seconds).
    bool loseDevice(InstrumentWindow& window)
    {
        input.streamFailed = true;
        QElapsedTimer clock;
        clock.start();
        while (!window.deviceLost() && clock.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        return window.deviceLost();
    }

    // Pixels of `colour` in `image` within `area` that differ from `before`.
    static int newPixels(const QImage& image, const QImage& before, QRect area, Rgb colour)
    {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += (image.pixel(x, y) & 0xFFFFFF) == colour && image.pixel(x, y) != before.pixel(x, y);
        return n;
    }

    // Ends a capture quickly, before the window goes.
    void finish(InstrumentWindow& window)
    {
        whileStopping(window);
        window.Shutdown();
    }
};

}  // namespace mirel::test
