// The capture engine's state machine, driven through the scripted fake input.
#include "FakeWaveInput.h"
#include "TWaveRecorder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <optional>
#include <gtest/gtest.h>

using namespace mirel;
using mirel::test::FakeWaveInput;

namespace {

// Stands in for an instrument window: takes current blocks, gives the buffer back.
class Receiver : public QObject {
public:
    explicit Receiver(TWaveRecorder& recorder) : recorder_(recorder) {}

    std::uint8_t* buffer = nullptr;  // the owner's slot
    int blocks = 0;
    int staleMessages = 0;
    std::vector<std::uint8_t> lastBlock;
    std::function<void()> duringBlock;

    bool event(QEvent* e) override
    {
        if (e->type() != WimDataEvent::eventType())
            return QObject::event(e);
        auto& message = static_cast<WimDataEvent&>(*e);
        if (!recorder_.IsCurrent(message)) {
            ++staleMessages;
            return true;
        }
        ++blocks;
        if (buffer)
            lastBlock.assign(buffer, buffer + message.header->bytesRecorded);
        if (duringBlock)
            duringBlock();
        recorder_.BufferDone(message);
        return true;
    }

private:
    TWaveRecorder& recorder_;
};

void drainEvents()
{
    QCoreApplication::processEvents();
}

int countOf(const std::vector<std::string>& calls, const std::string& what)
{
    return static_cast<int>(std::count(calls.begin(), calls.end(), what));
}

struct EngineTest : ::testing::Test {
    FakeWaveInput input;
    TWaveRecorder recorder{input};
    Receiver window{recorder};

    void TearDown() override
    {
        // Let a capture still open end quickly instead of waiting out the handshake.
        if (input.bufferQueued()) {
            QTimer deliver;
            deliver.setSingleShot(true);
            QObject::connect(&deliver, &QTimer::timeout, [this] { input.completeBuffer(); });
            deliver.start(0);
            recorder.StopRecording();
        }
    }

    bool start(int bits = 16, int frames = 1000, int rate = 48000)
    {
        return recorder.StartRecording(0, 2, rate, bits, &window, frames, &window.buffer);
    }
};

TEST_F(EngineTest, BufferBytesIsBlockAlignTimesFrames)
{
    ASSERT_TRUE(start(16, 1000));
    EXPECT_EQ(recorder.BufferBytes, 4000);
    EXPECT_EQ(input.lastFormat.blockAlign(), 4);
    EXPECT_EQ(input.lastFormat.avgBytesPerSec(), 4 * 48000);
    QTimer::singleShot(0, [this] { input.completeBuffer(); });
    ASSERT_TRUE(start(8, 9600));
    EXPECT_EQ(recorder.BufferBytes, 19200);
    EXPECT_EQ(input.lastFormat.bitsPerSample, 8);
}

TEST_F(EngineTest, SuccessfulStartQueuesTheBufferAndFillsTheOwnerSlot)
{
    ASSERT_TRUE(start());
    EXPECT_EQ(input.calls, (std::vector<std::string>{"open", "prepare", "add", "start"}));
    EXPECT_TRUE(recorder.Recording);
    EXPECT_TRUE(recorder.Requeue);
    EXPECT_FALSE(recorder.Stopping);
    EXPECT_TRUE(recorder.ErrorText.empty());
    EXPECT_NE(window.buffer, nullptr);
    EXPECT_TRUE(input.bufferQueued());
}

TEST_F(EngineTest, EachFilledBufferReachesTheWindowAndIsQueuedAgain)
{
    ASSERT_TRUE(start(16, 10));
    for (int block = 1; block <= 3; ++block) {
        ASSERT_TRUE(input.completeBuffer([block](int i) { return static_cast<std::uint8_t>(i + block); }));
        EXPECT_FALSE(input.bufferQueued()) << "the buffer is with the window until it gives it back";
        drainEvents();
        EXPECT_EQ(window.blocks, block);
        ASSERT_EQ(window.lastBlock.size(), 40u);
        EXPECT_EQ(window.lastBlock[0], block);
        EXPECT_EQ(window.lastBlock[39], 39 + block);
        EXPECT_TRUE(input.bufferQueued());
    }
    EXPECT_EQ(countOf(input.calls, "add"), 4);
}

TEST_F(EngineTest, StopWaitsForTheBlockInFlightAndDoesNotQueueItAgain)
{
    ASSERT_TRUE(start());
    bool stopReturned = false;
    window.duringBlock = [&] { EXPECT_FALSE(stopReturned) << "the block must be handled inside the stop"; };
    QTimer::singleShot(50, [&] { input.completeBuffer(); });
    QElapsedTimer clock;
    clock.start();
    recorder.StopRecording();
    stopReturned = true;

    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(window.blocks, 1);
    EXPECT_EQ(countOf(input.calls, "add"), 1) << "a stopping engine keeps the returned buffer";
    EXPECT_EQ(input.calls.back(), "close");
    EXPECT_EQ(input.openHandles, 0);
    EXPECT_EQ(window.buffer, nullptr);
    EXPECT_FALSE(recorder.Recording || recorder.Requeue || recorder.Stopping);
}

TEST_F(EngineTest, StopGivesUpAfterThreeSecondsAndALateBufferIsStale)
{
    ASSERT_TRUE(start());
    QElapsedTimer clock;
    clock.start();
    recorder.StopRecording();
    const qint64 waited = clock.elapsed();

    EXPECT_GE(waited, TWaveRecorder::StopTimeoutMs - 50);
    EXPECT_LT(waited, TWaveRecorder::StopTimeoutMs + 1500);
    EXPECT_EQ(countOf(input.calls, "reset"), 1);
    EXPECT_EQ(input.calls.back(), "close");
    EXPECT_EQ(window.buffer, nullptr);
    // The reset returned the queued buffer after the device was given up: its message is stale.
    drainEvents();
    EXPECT_EQ(window.blocks, 0);
    EXPECT_EQ(window.staleMessages, 1);
    EXPECT_FALSE(recorder.Recording || recorder.Requeue || recorder.Stopping);
}

TEST_F(EngineTest, StopWhenIdleReturnsAtOnce)
{
    QElapsedTimer clock;
    clock.start();
    recorder.StopRecording();
    EXPECT_LT(clock.elapsed(), 100);
    EXPECT_TRUE(input.calls.empty());
}

TEST_F(EngineTest, StartWhileRecordingStopsFirstThenUsesTheNewParameters)
{
    ASSERT_TRUE(start(16, 1000, 48000));
    QTimer::singleShot(20, [&] { input.completeBuffer(); });
    ASSERT_TRUE(start(8, 500, 44000));

    EXPECT_EQ(window.blocks, 1) << "the old block was delivered during the implicit stop";
    EXPECT_EQ(input.calls, (std::vector<std::string>{"open", "prepare", "add", "start", "reset", "unprepare",
                                                     "close", "open", "prepare", "add", "start"}));
    EXPECT_EQ(input.lastFormat.samplesPerSec, 44000);
    EXPECT_EQ(recorder.BufferBytes, 1000);
    EXPECT_EQ(input.openHandles, 1);
    EXPECT_NE(window.buffer, nullptr);
}

TEST_F(EngineTest, StartAndStopDuringAStopAreRefused)
{
    ASSERT_TRUE(start());
    bool startedInside = true;
    window.duringBlock = [&] {
        EXPECT_TRUE(recorder.Stopping);
        startedInside = start();
        recorder.StopRecording();  // re-entry must be a no-op
    };
    QTimer::singleShot(20, [&] { input.completeBuffer(); });
    recorder.StopRecording();

    EXPECT_FALSE(startedInside);
    EXPECT_EQ(countOf(input.calls, "open"), 1);
    EXPECT_EQ(countOf(input.calls, "close"), 1);
    EXPECT_EQ(window.buffer, nullptr);
}

TEST_F(EngineTest, RefusedOpenPrepareOrQueueLeaveNothingOpen)
{
    struct Case {
        const char* name;
        MMResult FakeWaveInput::*failing;
    };
    for (const Case& c : {Case{"open", &FakeWaveInput::openResult}, Case{"prepare", &FakeWaveInput::prepareResult},
                          Case{"add", &FakeWaveInput::addResult}}) {
        SCOPED_TRACE(c.name);
        FakeWaveInput failing;
        failing.*c.failing = MMSYSERR_NOMEM;
        TWaveRecorder engine(failing);
        std::uint8_t* slot = reinterpret_cast<std::uint8_t*>(&failing);
        EXPECT_FALSE(engine.StartRecording(0, 2, 48000, 16, &window, 100, &slot));
        EXPECT_EQ(engine.ErrorText, standardErrorText(MMSYSERR_NOMEM));
        EXPECT_FALSE(engine.Recording);
        EXPECT_FALSE(engine.Requeue);
        EXPECT_EQ(failing.openHandles, 0);
        if (c.failing != &FakeWaveInput::openResult) {
            EXPECT_EQ(slot, nullptr);
        }
        EXPECT_FALSE(failing.bufferQueued());
    }
}

TEST_F(EngineTest, UnsupportedFormatIsRefusedWithTheSystemText)
{
    input.devices = {{"Old card", true, 22050}};
    EXPECT_FALSE(start(16, 100, 48000));
    EXPECT_EQ(recorder.ErrorText, standardErrorText(WAVERR_BADFORMAT));
    EXPECT_EQ(window.buffer, nullptr);
}

TEST_F(EngineTest, FailedStartKeepsTheDeviceUntilTheNextStopResetsIt)
{
    input.startResult = MMSYSERR_ERROR;
    EXPECT_FALSE(start());
    EXPECT_FALSE(recorder.ErrorText.empty());
    EXPECT_TRUE(recorder.Recording);
    EXPECT_TRUE(recorder.Requeue);
    EXPECT_EQ(window.buffer, nullptr) << "the window no longer sees the buffer";
    EXPECT_EQ(input.openHandles, 1);

    // Nothing is captured, so the next start's stop waits out the handshake and then closes.
    input.startResult = MMSYSERR_NOERROR;
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(start());
    EXPECT_GE(clock.elapsed(), TWaveRecorder::StopTimeoutMs - 50);
    EXPECT_EQ(input.openHandles, 1);
    EXPECT_EQ(countOf(input.calls, "close"), 1);
    EXPECT_NE(window.buffer, nullptr);
    EXPECT_TRUE(recorder.ErrorText.empty());
}

TEST_F(EngineTest, DestroyingTheEngineStopsTheCapture)
{
    FakeWaveInput local;
    QElapsedTimer clock;
    clock.start();
    {
        std::optional<TWaveRecorder> engine(std::in_place, local);
        Receiver owner(*engine);
        ASSERT_TRUE(engine->StartRecording(0, 2, 48000, 16, &owner, 100, &owner.buffer));
        QTimer::singleShot(10, [&] { local.completeBuffer(); });
        engine.reset();  // as a window's members go before its QObject base
        EXPECT_EQ(owner.blocks, 1);
        EXPECT_EQ(owner.buffer, nullptr);
    }
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(local.openHandles, 0);
    EXPECT_EQ(local.calls.back(), "close");
}

}  // namespace
