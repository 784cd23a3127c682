// What each instrument window makes of a filled buffer, fed through the scripted input.
#include "density/TFormPV.h"
#include "spectrum/TFormSP.h"
#include "statistics/TFormER.h"
#include "support/ScriptedWindowTest.h"

#include <QCoreApplication>
#include <QSlider>

using namespace mirel;

namespace {

struct HandoffTest : test::ScriptedWindowTest {
    template <class Window>
    void prepare(Window& window, int rate = 8000)
    {
        window.DeviceId = 0;
        window.SampleRate = rate;
        ASSERT_TRUE(window.Start());
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
    // Frame i: A = i, B = -i.
    deliver(test::StereoFrames([](int i) { return static_cast<std::int16_t>(i); },
                               [](int i) { return static_cast<std::int16_t>(-i); }));
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
    whileStopping(form);
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
    form.recorder().setStopTimeout(200);
    prepare(form);
    form.Stop();  // nothing comes back: the stop gives up and resets
    EXPECT_EQ(form.buffer(), nullptr);
    QCoreApplication::processEvents();  // the buffer that the reset returned
    EXPECT_EQ(form.BlockCounter, 0) << "the density window counts every block it is handed";
}

}  // namespace
