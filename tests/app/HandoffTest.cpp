// What each instrument window makes of a filled buffer, fed through the scripted input.
#include "FakeWaveInput.h"
#include "TFormER.h"
#include "TFormPV.h"
#include "TFormSP.h"

#include <QCoreApplication>
#include <QSlider>
#include <QTimer>
#include <gtest/gtest.h>

using namespace mirel;
using mirel::test::FakeWaveInput;

namespace {

struct HandoffTest : ::testing::Test {
    FakeWaveInput input;
    LauncherLink link;

    template <class Window>
    void prepare(Window& window, int rate = 8000)
    {
        window.DeviceId = 0;
        window.SampleRate = rate;
        ASSERT_TRUE(window.Start());
    }

    void deliver(const std::function<std::uint8_t(int)>& fill)
    {
        ASSERT_TRUE(input.completeBuffer(fill));
        QCoreApplication::processEvents();
    }

    // Ends a capture quickly: the card delivers the block in flight while the stop waits.
    void finish(InstrumentWindow& window)
    {
        QTimer::singleShot(0, &window, [this] { input.completeBuffer(); });
        window.Shutdown();
    }
};

TEST_F(HandoffTest, StatisticsSeesSignedSamples)
{
    TFormER form(input, link);
    prepare(form);
    EXPECT_EQ(form.BufferBytes, 8000 / 5 * 2);
    const std::uint8_t levels[] = {0, 128, 255, 1};
    deliver([&](int i) { return levels[i % 4]; });
    ASSERT_GE(form.blockCopy().size(), 4u);
    EXPECT_EQ(form.blockCopy()[0], -128);
    EXPECT_EQ(form.blockCopy()[1], 0);
    EXPECT_EQ(form.blockCopy()[2], 127);
    EXPECT_EQ(form.blockCopy()[3], -127);
    EXPECT_TRUE(input.bufferQueued()) << "the buffer went back to the card";
    finish(form);
}

TEST_F(HandoffTest, SpectrumSplitsTheChannelsOnlyWhileLive)
{
    TFormSP form(input, link);
    form.FftLength = 2048;
    prepare(form);
    // Frame i: A = i, B = -i, little-endian.
    auto frames = [](int byte) {
        const int frame = byte / 4;
        const auto sample = static_cast<std::uint16_t>(byte % 4 < 2 ? frame : -frame);
        return static_cast<std::uint8_t>(byte % 2 == 0 ? sample & 0xFF : sample >> 8);
    };
    deliver(frames);
    EXPECT_EQ(form.BlockCounter, 1);
    EXPECT_EQ(form.samplesA()[0], 0);
    EXPECT_EQ(form.samplesA()[300], 300);
    EXPECT_EQ(form.samplesB()[300], -300);
    EXPECT_EQ(form.samplesA()[2047], 2047);

    form.Live = false;  // frozen: blocks are counted but the arrays keep the picture
    deliver([](int) { return 0; });
    EXPECT_EQ(form.BlockCounter, 2);
    EXPECT_EQ(form.samplesA()[300], 300);
    finish(form);
}

TEST_F(HandoffTest, SpectrumStopIsHeldOffForASecondAfterAnAccuracyChange)
{
    TFormSP form(input, link);
    form.FftLength = 2048;
    prepare(form);
    form.accuracyControl()->setEnabled(false);  // as right after an accuracy change
    form.Stop();
    EXPECT_TRUE(form.Running) << "the capture keeps running in the hidden window";
    form.accuracyControl()->setEnabled(true);
    QTimer::singleShot(0, &form, [this] { input.completeBuffer(); });
    form.Stop();
    EXPECT_FALSE(form.Running);
    EXPECT_FALSE(form.accuracyControl()->isEnabled());
}

TEST_F(HandoffTest, DensityCopiesEveryBlockWhole)
{
    TFormPV form(input, link);
    prepare(form, 9000);
    EXPECT_EQ(form.BufferBytes, 9000 / 3 * 2);
    deliver([](int i) { return static_cast<std::uint8_t>(i * 7); });
    EXPECT_EQ(form.blockCopy()[5], 35);
    EXPECT_EQ(form.blockCopy()[5999], static_cast<std::uint8_t>(5999 * 7));
    finish(form);
}

TEST_F(HandoffTest, ABufferReturnedAfterAStopThatTimedOutIsNotTouched)
{
    TFormPV form(input, link);
    prepare(form);
    form.Stop();  // nothing comes back: the stop gives up after three seconds and resets
    EXPECT_EQ(form.buffer(), nullptr);
    QCoreApplication::processEvents();  // the buffer that the reset returned
    EXPECT_EQ(form.BlockCounter, 0) << "the density window counts every block it is handed";
}

}  // namespace
