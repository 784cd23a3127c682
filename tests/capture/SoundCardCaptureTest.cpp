// End to end through a real sound server: a stereo test signal (1000 Hz at -6 dBFS on the left,
// 3000 Hz at -12 dBFS on the right) is played into the server's null sink and captured from its
// monitor through PortAudioInput and the capture engine, block by block on the UI thread.
//
// Needs a PulseAudio server with a sink named "nullsink" (scripts/sound-server.sh start runs one)
// and pactl, sox and paplay; without them the tests are skipped with the reason. The tests share
// that sink and take it away, so CTest runs them one at a time (a resource lock).
#include "capture/PortAudioInput.h"
#include "capture/TWaveRecorder.h"
#include "support/StderrCapture.h"
#include "support/WaitUntil.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

using namespace mirel;

namespace {

constexpr int Rate = 48000;
constexpr int Frames = 4800;                        // 0.1 s: 100 periods of the left tone, 300 of the right one
constexpr double LeftHz = 1000, LeftPeak = 0.5;     // -6 dBFS
constexpr double RightHz = 3000, RightPeak = 0.25;  // -12 dBFS

// Collects the filled blocks that reach the window and gives each buffer back to the engine.
class BlockReceiver : public QObject {
public:
    explicit BlockReceiver(TWaveRecorder& recorder) : recorder_(recorder) {}

    std::vector<std::vector<std::uint8_t>> blocks;
    int notifications = 0;
    bool offUiThread = false;

    bool event(QEvent* event) override
    {
        if (event->type() != WimDataEvent::eventType())
            return QObject::event(event);
        auto& message = static_cast<WimDataEvent&>(*event);
        ++notifications;
        if (QThread::currentThread() != QCoreApplication::instance()->thread())
            offUiThread = true;
        if (recorder_.IsCurrent(message)) {
            const std::uint8_t* data = message.header->data;
            blocks.emplace_back(data, data + message.header->bytesRecorded);
            recorder_.BufferDone(message);
        }
        return true;
    }

private:
    TWaveRecorder& recorder_;
};

using test::waitUntil;

// One channel of a block, as fractions of full scale.
std::vector<double> channel(const std::vector<std::uint8_t>& block, int bits, int which)
{
    std::vector<double> out;
    const int frameBytes = 2 * bits / 8;
    for (size_t at = 0; at + frameBytes <= block.size(); at += frameBytes) {
        const std::uint8_t* sample = block.data() + at + which * bits / 8;
        if (bits == 16)
            out.push_back(static_cast<std::int16_t>(sample[0] | (sample[1] << 8)) / 32768.0);
        else
            out.push_back((sample[0] - 128) / 128.0);
    }
    return out;
}

double mean(const std::vector<double>& x)
{
    double sum = 0;
    for (double v : x)
        sum += v;
    return x.empty() ? 0 : sum / static_cast<double>(x.size());
}

double rmsDb(const std::vector<double>& x)
{
    double sum = 0;
    for (double v : x)
        sum += v * v;
    return 10 * std::log10(sum / static_cast<double>(x.size()) + 1e-30);
}

// Frequency from the number of sign changes.
double zeroCrossingHz(const std::vector<double>& x)
{
    int crossings = 0;
    for (size_t i = 1; i < x.size(); ++i)
        if ((x[i - 1] >= 0) != (x[i] >= 0))
            ++crossings;
    return crossings / 2.0 / (static_cast<double>(x.size()) / Rate);
}

// Amplitude of the component at `hz`; exact when the block holds whole periods of it.
double amplitudeAt(const std::vector<double>& x, double hz)
{
    std::complex<double> sum;
    const double w = 2 * std::numbers::pi * hz / Rate;
    for (size_t n = 0; n < x.size(); ++n)
        sum += x[n] * std::polar(1.0, -w * static_cast<double>(n));
    return 2 * std::abs(sum) / static_cast<double>(x.size());
}

// Phase of the component at `hz` at the block's first frame, in radians.
double phaseAt(const std::vector<double>& x, double hz)
{
    std::complex<double> sum;
    const double w = 2 * std::numbers::pi * hz / Rate;
    for (size_t n = 0; n < x.size(); ++n)
        sum += x[n] * std::polar(1.0, -w * static_cast<double>(n));
    return std::arg(sum);
}

// A run of at least 5 ms of exact silence on both channels: the server filled a gap.
bool hasDropout(const std::vector<std::uint8_t>& block, int bits)
{
    const int frameBytes = 2 * bits / 8;
    const std::uint8_t silence = bits == 16 ? 0 : 128;
    int run = 0;
    for (size_t at = 0; at + frameBytes <= block.size(); at += frameBytes) {
        bool quiet = true;
        for (int i = 0; i < frameBytes; ++i)
            quiet = quiet && block[at + i] == silence;
        run = quiet ? run + 1 : 0;
        if (run >= Rate / 200)
            return true;
    }
    return false;
}

double db(double ratio)
{
    return 20 * std::log10(ratio);
}

// Checks one captured block: each channel carries its own tone at its own level, and nothing of
// the other channel's tone.
void expectTestSignal(const std::vector<std::uint8_t>& block, int bits, int index)
{
    SCOPED_TRACE("block " + std::to_string(index) + ", " + std::to_string(bits) + "-bit");
    ASSERT_EQ(block.size(), static_cast<size_t>(Frames * 2 * bits / 8)) << "the block must come back full";
    const std::vector<double> a = channel(block, bits, 0);
    const std::vector<double> b = channel(block, bits, 1);
    // Whole periods average to nothing; a wrong zero (signed read as unsigned) is far off.
    EXPECT_NEAR(mean(a), 0.0, 0.01) << "channel A is off centre";
    EXPECT_NEAR(mean(b), 0.0, 0.01) << "channel B is off centre";

    EXPECT_NEAR(rmsDb(a), db(LeftPeak / std::sqrt(2.0)), 1.5) << "level of channel A";
    EXPECT_NEAR(rmsDb(b), db(RightPeak / std::sqrt(2.0)), 1.5) << "level of channel B";

    EXPECT_NEAR(zeroCrossingHz(a), LeftHz, LeftHz * 0.02) << "frequency of channel A";
    EXPECT_NEAR(zeroCrossingHz(b), RightHz, RightHz * 0.02) << "frequency of channel B";

    // Channel order and separation: A's tone is on A only, B's on B only.
    const double aOwn = amplitudeAt(a, LeftHz), aOther = amplitudeAt(a, RightHz);
    const double bOwn = amplitudeAt(b, RightHz), bOther = amplitudeAt(b, LeftHz);
    EXPECT_NEAR(db(aOwn / LeftPeak), 0.0, 1.5);
    EXPECT_NEAR(db(bOwn / RightPeak), 0.0, 1.5);
    EXPECT_LT(db(aOther / aOwn), -30) << "the right channel's tone leaks into channel A";
    EXPECT_LT(db(bOther / bOwn), -30) << "the left channel's tone leaks into channel B";
}

QString runTool(const QString& program, const QStringList& arguments, bool* ok)
{
    QProcess process;
    process.start(program, arguments);
    *ok = process.waitForFinished(5000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(1000);
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

class SoundCardCapture : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* tool : {"pactl", "paplay", "sox"})
            if (QStandardPaths::findExecutable(tool).isEmpty())
                GTEST_SKIP() << "no sound-server test: '" << tool << "' is not installed";
        bool ok = false;
        runTool("pactl", {"info"}, &ok);
        if (!ok)
            GTEST_SKIP() << "no sound-server test: no PulseAudio server answers 'pactl info' "
                            "(scripts/sound-server.sh start runs one)";
        const QString sinks = runTool("pactl", {"list", "short", "sinks"}, &ok);
        if (!ok || !sinks.contains("nullsink"))
            GTEST_SKIP() << "no sound-server test: the server has no sink named 'nullsink'";

        // Record what is played into the null sink; set before the sound libraries start.
        setenv("PULSE_SOURCE", "nullsink.monitor", 1);
        input_ = std::make_unique<PortAudioInput>();
        device_ = findDevice();
        if (device_ < 0)
            GTEST_SKIP() << "no sound-server test: PortAudio lists no 'pulse' or 'default' input";

        ASSERT_TRUE(dir_.isValid());
        const QString wav = dir_.filePath("tones.wav");
        // 30 s of two tones: channel 1 1000 Hz at half scale, channel 2 3000 Hz at quarter scale.
        QProcess sox;
        sox.start("sox", {"-n", "-r", QString::number(Rate), "-c", "2", "-b", "16", wav, "synth", "30", "sine",
                          QString::number(LeftHz), "sine", QString::number(RightHz), "remix",
                          "1v" + QString::number(LeftPeak), "2v" + QString::number(RightPeak)});
        ASSERT_TRUE(sox.waitForFinished(20000));
        ASSERT_EQ(sox.exitCode(), 0) << sox.readAllStandardError().toStdString();

        // A playback latency well below the server's default of about 2 s, with which the sink (and
        // so its monitor) passes the sound on in chunks that long; still long enough that a busy
        // machine does not starve the player.
        player_.start("paplay", {"--device=nullsink", "--latency-msec=400", wav});
        ASSERT_TRUE(player_.waitForStarted(5000));
    }

    void TearDown() override
    {
        recorder_.reset();
        if (player_.state() != QProcess::NotRunning) {
            player_.kill();
            player_.waitForFinished(3000);
        }
        input_.reset();
        if (sinkUnloaded_)
            loadSink();
    }

    // Takes the null sink away as if the sound card were pulled out, and brings it back.
    void unloadSink()
    {
        bool ok = false;
        runTool("pactl", {"unload-module", "module-null-sink"}, &ok);
        ASSERT_TRUE(ok) << "the null sink could not be unloaded";
        sinkUnloaded_ = true;
    }

    bool loadSink()
    {
        bool ok = false;
        runTool("pactl", {"load-module", "module-null-sink", "sink_name=nullsink", "rate=48000", "channels=2"}, &ok);
        sinkUnloaded_ = !ok;
        return ok;
    }

    int findDevice()
    {
        int fallback = -1;
        for (int id = 0; id < input_->deviceCount(); ++id) {
            std::string name;
            if (input_->deviceName(id, name) != MMSYSERR_NOERROR)
                continue;
            if (name == "pulse")
                return id;
            if (name == "default" && fallback < 0)
                fallback = id;
        }
        return fallback;
    }

    // Captures until the test signal is there, then returns `count` further full blocks (the
    // first block with signal may hold its onset and is left out). A block with a dropout (a run
    // of exact silence that the server inserts when a loaded machine starves the player or the
    // recorder) says nothing about our input and is passed over, but only a few of them.
    std::vector<std::vector<std::uint8_t>> capture(BlockReceiver& receiver, int bits, int count)
    {
        constexpr int MaxDropouts = 3;
        std::uint8_t* slot = nullptr;
        EXPECT_TRUE(recorder_->StartRecording(device_, 2, Rate, bits, &receiver, Frames, &slot))
            << recorder_->ErrorText;
        EXPECT_EQ(recorder_->BufferBytes, Frames * 2 * bits / 8);
        EXPECT_NE(slot, nullptr);

        std::vector<std::vector<std::uint8_t>> result;
        size_t seen = 0;
        bool signal = false;
        int dropouts = 0;
        const bool done = waitUntil(
            [&] {
                for (; seen < receiver.blocks.size() && int(result.size()) < count; ++seen) {
                    const auto& block = receiver.blocks[seen];
                    if (!signal) {
                        signal = rmsDb(channel(block, bits, 0)) > db(LeftPeak) - 10;
                    } else if (hasDropout(block, bits)) {
                        ++dropouts;
                    } else {
                        result.push_back(block);
                    }
                }
                return int(result.size()) >= count || dropouts > MaxDropouts;
            },
            15000);
        EXPECT_TRUE(signal) << "no test signal within 15 s; " << receiver.blocks.size() << " blocks came";
        EXPECT_TRUE(done) << "the blocks stopped coming after " << receiver.blocks.size();
        EXPECT_LE(dropouts, MaxDropouts) << "too many blocks with dropouts";

        recorder_->StopRecording();
        EXPECT_EQ(slot, nullptr);
        return result;
    }

    bool sinkUnloaded_ = false;
    QTemporaryDir dir_;
    QProcess player_;
    std::unique_ptr<PortAudioInput> input_;
    std::unique_ptr<TWaveRecorder> recorder_;
    int device_ = -1;
};

}  // namespace

TEST_F(SoundCardCapture, SixteenBitBlocksCarryEachToneOnItsOwnChannel)
{
    recorder_ = std::make_unique<TWaveRecorder>(*input_);
    BlockReceiver receiver(*recorder_);
    const auto blocks = capture(receiver, 16, 4);
    ASSERT_EQ(blocks.size(), 4u);
    for (size_t i = 0; i < blocks.size(); ++i)
        expectTestSignal(blocks[i], 16, static_cast<int>(i));
    EXPECT_FALSE(receiver.offUiThread);

    // After the stop the stream is really quiet: nothing more arrives.
    const int notifications = receiver.notifications;
    waitUntil([] { return false; }, 300);
    EXPECT_EQ(receiver.notifications, notifications);
}

TEST_F(SoundCardCapture, EachBlockContinuesThePreviousOne)
{
    // 4801 frames are not a whole number of periods: from one block to the next the phase of the
    // 1000 Hz tone moves on by exactly 4801 frames' worth. A lost stretch or a repeated block moves
    // it by something else.
    constexpr int Odd = Frames + 1;
    recorder_ = std::make_unique<TWaveRecorder>(*input_);
    BlockReceiver receiver(*recorder_);
    std::uint8_t* slot = nullptr;
    ASSERT_TRUE(recorder_->StartRecording(device_, 2, Rate, 16, &receiver, Odd, &slot)) << recorder_->ErrorText;
    auto signalFrom = [&] {
        for (size_t i = 0; i < receiver.blocks.size(); ++i)
            if (rmsDb(channel(receiver.blocks[i], 16, 0)) > db(LeftPeak) - 10)
                return i + 1;  // the first block with signal may hold its onset
        return receiver.blocks.size() + 1;
    };
    ASSERT_TRUE(waitUntil([&] { return receiver.blocks.size() >= signalFrom() + 6; }, 15000));
    recorder_->StopRecording();

    const double step = std::remainder(2 * std::numbers::pi * LeftHz / Rate * Odd, 2 * std::numbers::pi);
    int checked = 0;
    for (size_t i = signalFrom(); i + 1 < receiver.blocks.size(); ++i) {
        const auto& block = receiver.blocks[i];
        const auto& next = receiver.blocks[i + 1];
        if (hasDropout(block, 16) || hasDropout(next, 16))
            continue;  // the server's gap, not ours
        const double moved = std::remainder(
            phaseAt(channel(next, 16, 0), LeftHz) - phaseAt(channel(block, 16, 0), LeftHz), 2 * std::numbers::pi);
        EXPECT_NEAR(moved, step, 0.02) << "between block " << i << " and the next";
        ++checked;
    }
    EXPECT_GE(checked, 3);
    EXPECT_EQ(recorder_->LostFrames, 0);
}

TEST_F(SoundCardCapture, EightBitBlocksAreUnsignedAroundHalfScale)
{
    recorder_ = std::make_unique<TWaveRecorder>(*input_);
    BlockReceiver receiver(*recorder_);
    const auto blocks = capture(receiver, 8, 2);
    ASSERT_EQ(blocks.size(), 2u);
    for (size_t i = 0; i < blocks.size(); ++i)
        expectTestSignal(blocks[i], 8, static_cast<int>(i));
}

TEST_F(SoundCardCapture, TheDeviceOpensAgainAfterAStop)
{
    // A stream left open or running by the first capture would keep the second from starting.
    recorder_ = std::make_unique<TWaveRecorder>(*input_);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        BlockReceiver receiver(*recorder_);
        const auto blocks = capture(receiver, 16, 1);
        ASSERT_EQ(blocks.size(), 1u);
        expectTestSignal(blocks[0], 16, 0);
    }
}

TEST_F(SoundCardCapture, AFailedOpenReportsTheSoundLibrarysReason)
{
    WaveFormat format;
    format.samplesPerSec = 1;  // no device records one sample per second
    EXPECT_NE(input_->isFormatSupported(device_, format), MMSYSERR_NOERROR);

    QObject receiver;
    std::unique_ptr<WaveInHandle> handle;
    const MMResult result = input_->open(handle, device_, format, &receiver);
    ASSERT_NE(result, MMSYSERR_NOERROR);
    EXPECT_FALSE(handle);
    const std::string text = input_->errorText(result);
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text, standardErrorText(result)) << "the library's own reason was lost";

    // The engine passes that reason on.
    TWaveRecorder recorder(*input_);
    std::uint8_t* slot = nullptr;
    EXPECT_FALSE(recorder.StartRecording(device_, 2, 1, 16, &receiver, Frames, &slot));
    EXPECT_EQ(recorder.ErrorText, text);
    EXPECT_EQ(slot, nullptr);
}

TEST_F(SoundCardCapture, OnlySixteenAndEightBitSamplesAreOffered)
{
    QObject receiver;
    for (int bits : {16, 8}) {
        WaveFormat format;
        format.samplesPerSec = Rate;
        format.bitsPerSample = bits;
        EXPECT_EQ(input_->isFormatSupported(device_, format), MMSYSERR_NOERROR) << bits;
    }
    for (int bits : {24, 32, 12, 0}) {
        WaveFormat format;
        format.samplesPerSec = Rate;
        format.bitsPerSample = bits;
        EXPECT_EQ(input_->isFormatSupported(device_, format), WAVERR_BADFORMAT) << bits;
        std::unique_ptr<WaveInHandle> handle;
        EXPECT_EQ(input_->open(handle, device_, format, &receiver), WAVERR_BADFORMAT) << bits;
        EXPECT_FALSE(handle);
    }
}

TEST_F(SoundCardCapture, ALostSinkIsNoticedQuietlyAndTheCaptureResumesWhenItReturns)
{
    test::StderrCapture terminal;
    recorder_ = std::make_unique<TWaveRecorder>(*input_);
    std::vector<bool> lostChanges;
    recorder_->DeviceLostChanged = [&lostChanges](bool lost) { lostChanges.push_back(lost); };
    BlockReceiver receiver(*recorder_);
    std::uint8_t* slot = nullptr;
    ASSERT_TRUE(recorder_->StartRecording(device_, 2, Rate, 16, &receiver, 480, &slot)) << recorder_->ErrorText;
    ASSERT_TRUE(waitUntil([&] { return receiver.blocks.size() >= 10; }, 10000));
    // The server brings the first block only a second or more after the start.
    EXPECT_TRUE(lostChanges.empty()) << "a device called lost at the start";

    ASSERT_NO_FATAL_FAILURE(unloadSink());
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(waitUntil([&] { return recorder_->DeviceLost; }, 3000));
    EXPECT_LT(clock.elapsed(), 1000) << "the loss must show within a second";

    // While the sink is away an attempt returns at once.
    clock.restart();
    EXPECT_TRUE(recorder_->ReopenDue());
    recorder_->Reopen();
    EXPECT_LT(clock.elapsed(), 1000);

    ASSERT_TRUE(loadSink());
    const size_t before = receiver.blocks.size();
    // The next attempt, as a shown window makes it, must be the one that brings the blocks back:
    // it is not given up while the returned sink prepares its first delivery. Waited for is that
    // block, or the engine giving the attempt up.
    ASSERT_TRUE(waitUntil([&] { return recorder_->ReopenDue(); }, 2000));
    ASSERT_TRUE(recorder_->Reopen()) << recorder_->ErrorText;
    waitUntil([&] { return receiver.blocks.size() > before || recorder_->ReopenDue(); }, 10000);
    ASSERT_GT(receiver.blocks.size(), before) << "the reopened stream was given up before its first block";
    EXPECT_TRUE(waitUntil([&] { return receiver.blocks.size() > before + 5; }, 2000));
    EXPECT_FALSE(recorder_->DeviceLost);
    EXPECT_EQ(lostChanges, (std::vector<bool>{true, false}));
    EXPECT_NE(slot, nullptr);
    recorder_->StopRecording();
    EXPECT_EQ(terminal.text(), "") << "the sound libraries wrote to the terminal";
}
