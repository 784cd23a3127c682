// The buffer logic shared by the sound cards, the generator and the file player: frames that arrive
// while the one buffer is with the window are held and open the next blocks, up to one block or
// 0.1 s; what does not fit is counted against the block that follows the gap.
#include "capture/StreamHandle.h"

#include <QCoreApplication>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

using namespace mirel;

namespace {

constexpr int BlockFrames = 100;

// A source the test drives by hand: frame k carries the sample k on channel A and -k on B. At
// 2000 Hz a tenth of a second is two blocks: that much can be held.
class ManualStream : public StreamHandle {
public:
    explicit ManualStream(QObject* receiver) : StreamHandle(WaveFormat{2, 2000, 16}, receiver) {}

    void push(int first, int count)
    {
        std::vector<std::int16_t> frames;
        for (int k = first; k < first + count; ++k) {
            frames.push_back(static_cast<std::int16_t>(k));
            frames.push_back(static_cast<std::int16_t>(-k));
        }
        pushFrames(reinterpret_cast<const std::uint8_t*>(frames.data()), count);
    }

protected:
    MMResult startSource() override { return MMSYSERR_NOERROR; }
    void stopSource() override {}
};

// Keeps what each posted buffer held; the test decides when a buffer is queued again.
struct Blocks : QObject {
    struct Block {
        std::vector<int> a;  // channel A
        std::int64_t lostBefore;
    };
    std::vector<Block> received;

    bool event(QEvent* e) override
    {
        if (e->type() != WimDataEvent::eventType())
            return QObject::event(e);
        const WaveHeader& header = *static_cast<WimDataEvent*>(e)->header;
        Block block{{}, header.framesLostBefore};
        for (int at = 0; at + 4 <= header.bytesRecorded; at += 4) {
            std::int16_t a;
            std::memcpy(&a, header.data + at, 2);
            block.a.push_back(a);
        }
        received.push_back(block);
        return true;
    }
};

std::vector<int> run(int first, int count)
{
    std::vector<int> frames;
    for (int k = first; k < first + count; ++k)
        frames.push_back(k);
    return frames;
}

struct StreamHandleTest : ::testing::Test {
    Blocks window;
    ManualStream stream{&window};
    std::vector<std::uint8_t> memory = std::vector<std::uint8_t>(BlockFrames * 4);
    WaveHeader header;

    void SetUp() override
    {
        header.data = memory.data();
        header.bufferLength = static_cast<int>(memory.size());
        ASSERT_EQ(stream.prepareHeader(header), MMSYSERR_NOERROR);
        ASSERT_EQ(stream.start(), MMSYSERR_NOERROR);
    }

    void requeue()
    {
        ASSERT_EQ(stream.addBuffer(header), MMSYSERR_NOERROR);
        QCoreApplication::processEvents();
    }

    // Block `i` came and holds the frames from `first` on, after `lostBefore` lost ones.
    void expectBlock(size_t i, int first, int count, std::int64_t lostBefore = 0)
    {
        ASSERT_GT(window.received.size(), i) << "block " << i << " did not come";
        EXPECT_EQ(window.received[i].a, run(first, count)) << "block " << i;
        EXPECT_EQ(window.received[i].lostBefore, lostBefore) << "block " << i;
    }
};

TEST_F(StreamHandleTest, FramesThatArriveWhileTheBufferIsAwayOpenTheNextBlock)
{
    requeue();
    stream.push(0, 130);  // fills the block; 30 frames wait
    QCoreApplication::processEvents();
    stream.push(130, 50);  // the buffer is still with the window
    requeue();
    EXPECT_EQ(window.received.size(), 1u) << "80 frames are not a block yet";
    stream.push(180, 20);
    QCoreApplication::processEvents();

    expectBlock(0, 0, 100);
    expectBlock(1, 100, 100);
}

TEST_F(StreamHandleTest, WholeBlocksHeldGoOutAtOnceAndTheOverflowIsCountedBeforeTheNextBlock)
{
    requeue();
    stream.push(0, 100);
    QCoreApplication::processEvents();
    stream.push(100, 350);  // the window is slow: two blocks are held, 150 frames are lost
    requeue();              // each held block is full: it is posted without waiting
    stream.push(450, 50);   // room again, but after the gap: these are lost too
    requeue();
    expectBlock(1, 100, 100);
    expectBlock(2, 200, 100);

    requeue();
    stream.push(500, 100);
    QCoreApplication::processEvents();
    expectBlock(3, 500, 100, 200);
    EXPECT_EQ(window.received.size(), 4u);
}

TEST_F(StreamHandleTest, ResetReturnsThePartBlockAndForgetsWhatWasHeld)
{
    requeue();
    stream.push(0, 130);
    QCoreApplication::processEvents();
    requeue();  // 30 held frames open the buffer
    stream.push(130, 10);
    EXPECT_EQ(stream.reset(), MMSYSERR_NOERROR);
    QCoreApplication::processEvents();
    expectBlock(1, 100, 40);

    stream.push(140, 60);  // after the reset nothing is queued; these must not survive it
    EXPECT_EQ(stream.reset(), MMSYSERR_NOERROR);
    requeue();
    stream.push(0, 100);
    QCoreApplication::processEvents();
    expectBlock(2, 0, 100);
    EXPECT_EQ(window.received.size(), 3u);
}

}  // namespace
