// The test-signal generator: its signal values, and the whole way from the generator through the
// capture engine to a receiver on the UI thread, in real time.
#include "capture/GeneratorInput.h"
#include "capture/SignalSpec.h"
#include "capture/TWaveRecorder.h"
#include "support/BlockCollector.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

using namespace mirel;

namespace {

// ---- Signal values ----

TEST(GeneratorSignal, SineHasItsPeakAndPeriod)
{
    // A period starts PhaseLeadFrames before frame 0.
    const SignalSpec sine{SignalKind::Sine, 1000.0, 0.5, 0.0, 0.0};
    auto at = [](double frames) { return 0.5 * std::sin(2 * std::numbers::pi * (frames + PhaseLeadFrames) / 48); };
    for (int n : {0, 8, 12, 36})
        EXPECT_NEAR(signalValue(sine, n, 48000), at(n), 1e-12) << n;
    EXPECT_GT(signalValue(sine, 12, 48000), 0.499) << "a quarter period in";
    // Hours into the stream the phase is where it should be.
    const std::int64_t late = 48000LL * 3600 * 10;
    EXPECT_NEAR(signalValue(sine, late + 12, 48000), at(12), 1e-9);
    // A frequency that is not a divisor of the rate.
    const SignalSpec odd{SignalKind::Sine, 997.0, 1.0, 0.0, 0.0};
    for (std::int64_t n : {1LL, 77LL, 44099LL, 441000000LL})
        EXPECT_NEAR(signalValue(odd, n, 44100),
                    std::sin(2 * std::numbers::pi * 997.0 * (static_cast<double>(n % 44100) + PhaseLeadFrames) / 44100),
                    1e-9)
            << n;
}

TEST(GeneratorSignal, NoSampleOfASineFallsOnZero)
{
    // Periods of a whole, half and quarter number of frames, where a sample on every zero
    // crossing would leave the oscilloscope's trigger nothing to find.
    for (double frequency : {1000.0, 3000.0, 12000.0, 16000.0, 19200.0, 24000.0, 13714.0 + 2.0 / 7}) {
        const SignalSpec sine{SignalKind::Sine, frequency, 0.5, 0.0, 0.0};
        for (int n = 0; n < 48; ++n) {
            ASSERT_NE(voltsToSample16(signalValue(sine, n, 48000)), 0) << frequency << " Hz, frame " << n;
            ASSERT_NE(voltsToSample8(signalValue(sine, n, 48000)), 128) << frequency << " Hz, frame " << n;
        }
    }
}

TEST(GeneratorSignal, SquareAndPulseSwitchAtTheRightFrames)
{
    const SignalSpec square{SignalKind::Square, 1000.0, 0.3, 0.0, 0.0};
    for (int n = 0; n < 96; ++n)
        EXPECT_DOUBLE_EQ(signalValue(square, n, 48000), n % 48 < 24 ? 0.3 : -0.3) << n;

    const SignalSpec pulse{SignalKind::Pulse, 10.0, 0.8, 0.001, 0.0};
    int high = 0;
    for (int n = 0; n < 48000; ++n) {
        const double v = signalValue(pulse, n, 48000);
        ASSERT_TRUE(v == 0.0 || v == 0.8) << n;
        if (v > 0.0) {
            ++high;
            EXPECT_LT(n % 4800, 48) << "high outside the first millisecond of a period, frame " << n;
        }
    }
    EXPECT_EQ(high, 10 * 48) << "ten pulses of 1 ms at 48 kHz";
}

TEST(GeneratorSignal, NoiseAndSilenceHaveNoDeterministicPart)
{
    EXPECT_EQ(signalValue({SignalKind::Silence, 0, 0, 0, 0}, 5, 48000), 0.0);
    EXPECT_EQ(signalValue({SignalKind::Noise, 0, 0.5, 0, 0}, 5, 48000), 0.0);
}

TEST(GeneratorSignal, VoltsBecomeSamplesWithOneVoltFullScale)
{
    EXPECT_EQ(voltsToSample16(0.0), 0);
    EXPECT_EQ(voltsToSample16(0.5), 16384);
    EXPECT_EQ(voltsToSample16(-0.5), -16384);
    EXPECT_EQ(voltsToSample16(1.0), 32767);
    EXPECT_EQ(voltsToSample16(-1.0), -32768);
    EXPECT_EQ(voltsToSample16(3.0), 32767);
    EXPECT_EQ(voltsToSample16(-3.0), -32768);
    EXPECT_EQ(voltsToSample8(0.0), 128);
    EXPECT_EQ(voltsToSample8(0.8), 230);
    EXPECT_EQ(voltsToSample8(-0.5), 64);
    EXPECT_EQ(voltsToSample8(1.0), 255);
    EXPECT_EQ(voltsToSample8(-1.0), 0);
    EXPECT_EQ(voltsToSample8(-7.0), 0);
}

// ---- The device ----

TEST(GeneratorDevice, OneDeviceWithTheFormatsOfASoundCard)
{
    GeneratorInput input;
    EXPECT_EQ(input.deviceCount(), 1);
    std::string name;
    ASSERT_EQ(input.deviceName(0, name), MMSYSERR_NOERROR);
    EXPECT_EQ(name, "Генератор (демо)");
    EXPECT_EQ(input.deviceName(1, name), MMSYSERR_BADDEVICEID);

    auto supported = [&](int rate, int bits, int channels = 2) {
        return input.isFormatSupported(0, WaveFormat{channels, rate, bits});
    };
    EXPECT_EQ(supported(1000, 16), MMSYSERR_NOERROR);
    EXPECT_EQ(supported(48000, 8), MMSYSERR_NOERROR);
    EXPECT_EQ(supported(100000, 16), MMSYSERR_NOERROR);
    EXPECT_EQ(supported(999, 16), WAVERR_BADFORMAT);
    EXPECT_EQ(supported(101000, 16), WAVERR_BADFORMAT);
    EXPECT_EQ(supported(48000, 24), WAVERR_BADFORMAT);
    EXPECT_EQ(supported(48000, 16, 1), WAVERR_BADFORMAT);
    EXPECT_EQ(input.isFormatSupported(1, WaveFormat{2, 48000, 16}), MMSYSERR_BADDEVICEID);

    QObject receiver;
    std::unique_ptr<WaveInHandle> handle;
    EXPECT_EQ(input.open(handle, 0, WaveFormat{2, 48000, 12}, &receiver), WAVERR_BADFORMAT);
    EXPECT_FALSE(handle);
    EXPECT_FALSE(input.errorText(WAVERR_BADFORMAT).empty());
}

// ---- End to end: generator -> engine -> window ----

using Window = mirel::test::BlockCollector;

std::vector<int> channel16(const std::vector<std::uint8_t>& block, int channel)
{
    std::vector<int> samples;
    for (size_t i = static_cast<size_t>(channel) * 2; i + 1 < block.size(); i += 4) {
        std::int16_t s;
        std::memcpy(&s, &block[i], 2);
        samples.push_back(s);
    }
    return samples;
}

std::vector<int> channel8(const std::vector<std::uint8_t>& block, int channel)
{
    std::vector<int> samples;
    for (size_t i = static_cast<size_t>(channel); i < block.size(); i += 2)
        samples.push_back(block[i]);
    return samples;
}

// Rising crossings of `middle`, with hysteresis so that noise on the slope does not count twice.
int risingCrossings(const std::vector<int>& samples, int middle, int hysteresis)
{
    int count = 0;
    bool low = false;
    for (int s : samples) {
        if (s < middle - hysteresis)
            low = true;
        else if (low && s > middle + hysteresis) {
            ++count;
            low = false;
        }
    }
    return count;
}

struct GeneratorCapture : ::testing::Test {
    GeneratorInput input;
    TWaveRecorder recorder{input};
    Window window{recorder};

    // A capture that a failed assertion left running ends while its window still exists.
    void TearDown() override { recorder.StopRecording(); }

    explicit GeneratorCapture(const GeneratorSpec& spec = GeneratorSpec::defaults()) : input(spec) {}

    bool start(int rate, int bits, int frames)
    {
        return recorder.StartRecording(0, 2, rate, bits, &window, frames, &window.buffer);
    }
};

TEST_F(GeneratorCapture, SixteenBitBlocksCarryTheDefaultSignals)
{
    ASSERT_TRUE(start(48000, 16, 4800)) << recorder.ErrorText;
    ASSERT_TRUE(window.waitForBlocks(3, 5000)) << "blocks received: " << window.blocks.size();
    recorder.StopRecording();
    EXPECT_EQ(window.buffer, nullptr);

    for (const auto& block : window.blocks) {
        ASSERT_EQ(block.size(), 4800u * 4) << "every block is full";
        const std::vector<int> a = channel16(block, 0);
        const std::vector<int> b = channel16(block, 1);

        // A: 1 kHz sine of 0.5 V with a little noise: 100 periods in 0.1 s.
        const auto [aMin, aMax] = std::minmax_element(a.begin(), a.end());
        EXPECT_NEAR(*aMax, 16384, 1200);
        EXPECT_NEAR(*aMin, -16384, 1200);
        EXPECT_NEAR(risingCrossings(a, 0, 3000), 100, 1);

        // B: one 1 ms pulse of 0.8 V per 0.1 s; the block is exactly one period long, so wherever
        // it starts it holds 48 high frames.
        const int high = static_cast<int>(std::count(b.begin(), b.end(), 26214));
        const int low = static_cast<int>(std::count(b.begin(), b.end(), 0));
        EXPECT_EQ(high, 48);
        EXPECT_EQ(low, 4800 - 48) << "B has no other levels";
    }
}

TEST_F(GeneratorCapture, EightBitBlocksAreUnsignedAroundTheMiddle)
{
    ASSERT_TRUE(start(22050, 8, 2205)) << recorder.ErrorText;
    ASSERT_TRUE(window.waitForBlocks(2, 5000));
    recorder.StopRecording();
    for (const auto& block : window.blocks) {
        ASSERT_EQ(block.size(), 2205u * 2);
        const std::vector<int> a = channel8(block, 0);
        const std::vector<int> b = channel8(block, 1);
        const auto [aMin, aMax] = std::minmax_element(a.begin(), a.end());
        EXPECT_NEAR(*aMax, 192, 4);  // 128 + 0.5 V of 128
        EXPECT_NEAR(*aMin, 64, 4);
        double sum = 0;
        for (int s : a)
            sum += s;
        EXPECT_NEAR(sum / static_cast<double>(a.size()), 128.0, 2.0);
        EXPECT_EQ(std::count(b.begin(), b.end(), 128) + std::count(b.begin(), b.end(), 230),
                  static_cast<long>(b.size()));
        EXPECT_GT(std::count(b.begin(), b.end(), 128), static_cast<long>(b.size()) * 9 / 10) << "silence is 128";
        // One 1 ms pulse per period: at 22050 Hz 22.05 frames from PhaseLeadFrames before frame 0,
        // so frames 0 to 21 of the period.
        EXPECT_EQ(std::count(b.begin(), b.end(), 230), 22);
    }
}

struct CleanSineCapture : GeneratorCapture {
    // 997 Hz repeats only after a whole second of frames, so a block that starts at the wrong
    // frame, even a whole period off, does not match the signal.
    static GeneratorSpec spec()
    {
        GeneratorSpec s;
        s.a = {SignalKind::Sine, 997.0, 0.5, 0.0, 0.0};
        s.b = {SignalKind::Square, 3000.0, 0.25, 0.0, 0.0};
        return s;
    }
    CleanSineCapture() : GeneratorCapture(spec()) {}

    // Every frame of each block against the signal at its place in the stream: block i starts
    // after the frames of the blocks before it and the frames lost before each of them.
    void expectExactStretches()
    {
        std::int64_t first = 0;
        for (size_t i = 0; i < window.blocks.size(); ++i) {
            SCOPED_TRACE("block " + std::to_string(i));
            first += window.lostBefore[i];
            const std::vector<int> a = channel16(window.blocks[i], 0);
            const std::vector<int> b = channel16(window.blocks[i], 1);
            int wrongA = 0;
            int wrongB = 0;
            for (size_t j = 0; j < a.size(); ++j) {
                const std::int64_t n = first + static_cast<std::int64_t>(j);
                wrongA += std::abs(a[j] - voltsToSample16(signalValue(spec().a, n, 48000))) > 1;
                wrongB += b[j] != voltsToSample16(signalValue(spec().b, n, 48000));
            }
            EXPECT_EQ(wrongA, 0);
            EXPECT_EQ(wrongB, 0);
            first += static_cast<std::int64_t>(a.size());
        }
    }
};

TEST_F(CleanSineCapture, ConsecutiveBlocksContinueEachOtherFromTheFirstFrame)
{
    // The window keeps each buffer for a good part of a block; meanwhile the signal runs on.
    window.holdMs = 30;
    ASSERT_TRUE(start(48000, 16, 4801));
    ASSERT_TRUE(window.waitForBlocks(4, 5000));
    recorder.StopRecording();
    expectExactStretches();
    EXPECT_EQ(recorder.LostFrames, 0);
}

TEST_F(CleanSineCapture, WhatAWindowTooSlowCannotTakeIsCountedAndTheSignalGoesOnAfterTheGap)
{
    window.holdMs = 150;  // three blocks' time: two are held back (a tenth of a second), the rest is lost
    ASSERT_TRUE(start(48000, 16, 2400));
    ASSERT_TRUE(window.waitForBlocks(4, 5000));
    recorder.StopRecording();
    expectExactStretches();
    std::int64_t lost = 0;
    for (const std::int64_t gap : window.lostBefore)
        lost += gap;
    EXPECT_GT(lost, 2400);
    EXPECT_EQ(recorder.LostFrames, lost);
}

TEST_F(GeneratorCapture, StopInTheMiddleOfABlockReturnsWithinTheBlock)
{
    const int frames = 48000;  // 1 s blocks
    ASSERT_TRUE(start(48000, 16, frames));
    ASSERT_TRUE(window.waitForBlocks(1, 4000));
    // Now the buffer is queued again and being filled; stop partway through.
    QElapsedTimer wait;
    wait.start();
    while (wait.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);

    const size_t before = window.blocks.size();
    QElapsedTimer timer;
    timer.start();
    recorder.StopRecording();
    const qint64 elapsed = timer.elapsed();

    EXPECT_LT(elapsed, 1000 + 300) << "a stop waits at most for the block in flight";
    EXPECT_FALSE(recorder.Recording);
    EXPECT_EQ(window.buffer, nullptr);
    // The block in flight was delivered, full, before the stop returned.
    ASSERT_EQ(window.blocks.size(), before + 1);
    EXPECT_EQ(window.blocks.back().size(), static_cast<size_t>(frames) * 4);

    // Nothing more arrives once stopped.
    QElapsedTimer after;
    after.start();
    while (after.elapsed() < 200)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(window.blocks.size(), before + 1);
}

TEST_F(GeneratorCapture, CanBeStartedAgainWithAnotherFormat)
{
    ASSERT_TRUE(start(48000, 16, 1000));
    ASSERT_TRUE(window.waitForBlocks(1, 3000));
    ASSERT_TRUE(start(8000, 8, 800));  // stops the first capture on the way
    const size_t first = window.blocks.size();
    ASSERT_TRUE(window.waitForBlocks(first + 1, 3000));
    recorder.StopRecording();
    EXPECT_EQ(window.blocks.back().size(), 800u * 2);
}

}  // namespace
