// The capture engine's state machine, driven through the scripted fake input.
#include "capture/TWaveRecorder.h"
#include "support/FakeWaveInput.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

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

// Runs the event loop until `done` or `ms` have passed; the time it took.
qint64 waitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return clock.elapsed();
}

// Short enough that a test does not sit out the program's three seconds.
constexpr int StopTimeoutMs = 300;

struct EngineTest : ::testing::Test {
    FakeWaveInput input;
    TWaveRecorder recorder{input, StopTimeoutMs};
    Receiver window{recorder};
    std::vector<bool> lostChanges;
    // The engine's clock, moved by hand: silence lasts exactly as long as a test says.
    std::int64_t now = 0;

    EngineTest()
    {
        recorder.DeviceLostChanged = [this](bool lost) { lostChanges.push_back(lost); };
        recorder.setClock([this] { return now; });
    }

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
        input.framesLostBefore = block == 2 ? 25 : 0;
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
    EXPECT_EQ(recorder.LostFrames, 25) << "the frames that fell between the blocks are counted";
    EXPECT_TRUE(lostChanges.empty());
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

TEST_F(EngineTest, StopGivesUpAfterItsTimeoutAndALateBufferIsStale)
{
    EXPECT_EQ(TWaveRecorder(input).stopTimeout(), 3000) << "the program waits three seconds";
    ASSERT_TRUE(start());
    QElapsedTimer clock;
    clock.start();
    recorder.StopRecording();
    const qint64 waited = clock.elapsed();

    EXPECT_GE(waited, StopTimeoutMs - 20);
    EXPECT_LT(waited, StopTimeoutMs + 500);
    EXPECT_EQ(countOf(input.calls, "reset"), 1);
    EXPECT_EQ(input.calls.back(), "close");
    EXPECT_EQ(window.buffer, nullptr);
    // The reset returned the queued buffer after the device was given up: its message is stale.
    drainEvents();
    EXPECT_EQ(window.blocks, 0);
    EXPECT_EQ(window.staleMessages, 1);
    EXPECT_FALSE(recorder.Recording || recorder.Requeue || recorder.Stopping);
}

TEST_F(EngineTest, AStaleBufferAfterATimedOutStopAndARestartIsIgnored)
{
    ASSERT_TRUE(start());
    recorder.StopRecording();  // times out; the reset returns the buffer as a message still waiting
    ASSERT_TRUE(start());      // the new capture's header has the same address
    const int adds = countOf(input.calls, "add");
    drainEvents();
    EXPECT_EQ(window.staleMessages, 1);
    EXPECT_EQ(window.blocks, 0);
    EXPECT_EQ(countOf(input.calls, "add"), adds) << "the stale buffer was queued again";

    ASSERT_TRUE(input.completeBuffer([](int) { return 9; }));
    drainEvents();
    EXPECT_EQ(window.blocks, 1);
    EXPECT_EQ(window.lastBlock.front(), 9);
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
    EXPECT_EQ(input.calls, (std::vector<std::string>{"open", "prepare", "add", "start", "reset", "unprepare", "close",
                                                     "open", "prepare", "add", "start"}));
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

    // Nothing can come from a device that never started: the next start's stop closes it at once.
    input.startResult = MMSYSERR_NOERROR;
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(start());
    EXPECT_LT(clock.elapsed(), StopTimeoutMs / 2);
    EXPECT_EQ(countOf(input.calls, "reset"), 1);
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

TEST_F(EngineTest, ASilentStreamIsLostAfterItsLimitAndAFreshOneOnlyAfterTheFirstBlocksGrace)
{
    // An established stream is lost after the longer of 1 s and three blocks without one; a fresh
    // one (a sound server may start delivering seconds after the start) after the grace.
    constexpr int Grace = TWaveRecorder::FirstBlockGraceMs;
    struct Case {
        const char* name;
        int rate, frames;
        int firstBlockAt;  // ms after the start; -1: none comes
        int lostAfter;     // ms of silence after the last block, or after the start
    };
    const Case cases[] = {
        {"10 ms blocks, none comes", 48000, 480, -1, Grace},
        {"10 ms blocks, the first one late", 48000, 480, Grace - 100, TWaveRecorder::MinSilenceMs},
        {"0.6 s blocks, none comes", 1000, 600, -1, Grace},
        {"0.6 s blocks, then silence", 1000, 600, 600, 3 * 600},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeWaveInput device;
        TWaveRecorder engine(device, StopTimeoutMs);
        Receiver owner(engine);
        std::int64_t clock = 0;
        engine.setClock([&clock] { return clock; });
        std::vector<bool> changes;
        engine.DeviceLostChanged = [&changes](bool lost) { changes.push_back(lost); };
        ASSERT_TRUE(engine.StartRecording(0, 2, c.rate, 16, &owner, c.frames, &owner.buffer));
        if (c.firstBlockAt >= 0) {
            clock = c.firstBlockAt;
            engine.WatchStream();
            EXPECT_FALSE(engine.DeviceLost) << "lost before its first block";
            ASSERT_TRUE(device.completeBuffer());
            drainEvents();
            EXPECT_EQ(owner.blocks, 1);
        }
        const std::int64_t from = clock;
        clock = from + c.lostAfter - 1;
        engine.WatchStream();
        EXPECT_FALSE(engine.DeviceLost) << "lost too early";
        EXPECT_FALSE(engine.ReopenDue());
        clock = from + c.lostAfter;
        engine.WatchStream();
        EXPECT_TRUE(engine.DeviceLost) << "not lost at its limit";
        EXPECT_TRUE(engine.ReopenDue());
        EXPECT_EQ(changes, std::vector<bool>{true});

        QElapsedTimer stop;
        stop.start();
        engine.StopRecording();
        EXPECT_LT(stop.elapsed(), StopTimeoutMs / 2) << "a dead stream is not waited for";
        EXPECT_EQ(device.calls.back(), "close");
    }
}

TEST_F(EngineTest, AFailedStreamIsLostAtOnceAndReopenedWithTheSameParameters)
{
    ASSERT_TRUE(start(8, 700, 22000));
    EXPECT_FALSE(recorder.ReopenDue());
    input.streamFailed = true;  // the clock stands still: a failed stream needs no silence
    EXPECT_LT(waitFor([&] { return recorder.DeviceLost; }, 2000), 400);
    EXPECT_TRUE(recorder.ReopenDue());
    ASSERT_TRUE(input.completeBuffer());
    drainEvents();
    EXPECT_TRUE(recorder.DeviceLost) << "a block the failed stream still posted brought the device back";

    // Still away: the attempt fails and the next one is due at once.
    input.streamFailed = false;
    input.openResult = MMSYSERR_NODRIVER;
    EXPECT_FALSE(recorder.Reopen());
    EXPECT_EQ(window.buffer, nullptr);
    EXPECT_TRUE(recorder.ReopenDue());
    EXPECT_EQ(input.openHandles, 0);

    input.openResult = MMSYSERR_NOERROR;
    input.lastFormat = WaveFormat{};
    ASSERT_TRUE(recorder.Reopen());
    EXPECT_EQ(input.lastFormat.samplesPerSec, 22000);
    EXPECT_EQ(input.lastFormat.bitsPerSample, 8);
    EXPECT_EQ(recorder.BufferBytes, 1400);
    EXPECT_NE(window.buffer, nullptr);
    EXPECT_FALSE(recorder.ReopenDue()) << "a new stream has its time to deliver";
    now += TWaveRecorder::FirstBlockGraceMs - 1;
    recorder.WatchStream();
    EXPECT_FALSE(recorder.ReopenDue()) << "a reopened stream given up before its first block";
    EXPECT_TRUE(recorder.DeviceLost) << "until a block arrives";

    ASSERT_TRUE(input.completeBuffer([](int) { return 7; }));
    drainEvents();
    EXPECT_FALSE(recorder.DeviceLost);
    EXPECT_EQ(window.blocks, 2);
    EXPECT_EQ(window.lastBlock.front(), 7);
    EXPECT_EQ(lostChanges, (std::vector<bool>{true, false}));

    // Once the owner has stopped, a lost device is not reopened behind its back.
    input.streamFailed = true;
    waitFor([&] { return recorder.DeviceLost; }, 2000);
    recorder.StopRecording();
    EXPECT_FALSE(recorder.ReopenDue());
    EXPECT_FALSE(recorder.Reopen());
    EXPECT_EQ(input.openHandles, 0);
}

}  // namespace
