#include "ErrorRun.h"

#include "StatisticsTestSupport.h"

#include <gtest/gtest.h>

namespace mirel::er {
namespace {

using namespace testing;

// Feeds the stream to `run` block by block until the run refuses a block; returns the blocks used.
int RunOver(ErrorRun& run, const LevelFn& a, const LevelFn& b = Silence)
{
    const int frames = run.FramesPerBlock;
    int blocks = 0;
    for (std::int64_t first = 0;; first += frames) {
        const auto block = SignedBlock(first, frames, a, b);
        if (!run.ProcessData(block.data(), frames))
            return blocks;
        ++blocks;
    }
}

TEST(ErrorRun, RunLengthFromTheBox)
{
    struct Case {
        int item;
        const char* text;
        double seconds;
        int select;
    } cases[] = {
        {1, "5 сек", 5, -1},        {10, "10 мин", 600, -1}, {5, "1 мин", 60, -1}, {-1, "45", 45, -1},
        {-1, "0045", 45, -1},       {-1, "1", 1, -1},        {-1, "", 10, 2},      {-1, "0", 10, 2},
        {-1, "000", 10, 2},         {-1, "4a", 10, 2},       {-1, "5 сек", 10, 2}, {-1, "-5", 10, 2},
        {-1, "99999999999", 10, 2},  // no run lasts for thousands of years
    };
    for (const Case& c : cases) {
        const DurationChoice choice = ReadDuration(c.item, c.text);
        EXPECT_EQ(choice.Seconds, c.seconds) << c.text;
        EXPECT_EQ(choice.SelectItem, c.select) << c.text;
    }
    for (char32_t key : {U'0', U'9', char32_t{8}, char32_t{13}})
        EXPECT_TRUE(DurationKeyAllowed(key));
    for (char32_t key : {U'a', U'с', U' ', U'-', U',', char32_t{27}})
        EXPECT_FALSE(DurationKeyAllowed(key));
}

TEST(ErrorRun, FiveSecondsAt48000TakeTwentyFiveBlocks)
{
    ErrorRun run;
    run.Reset(48000, 5);
    EXPECT_EQ(run.FramesPerBlock, 9600);
    EXPECT_EQ(run.TotalText(), "5 сек");

    const auto quiet = SignedBlock(0, 9600, Silence);
    ASSERT_TRUE(run.ProcessData(quiet.data(), 9600));
    EXPECT_EQ(run.Transmitted, 131);  // 130.8 rounded
    EXPECT_EQ(run.ElapsedText(), "0 сек");
    EXPECT_EQ(run.RemainingText(), "5 сек");
    EXPECT_EQ(run.Progress(), 4);

    EXPECT_EQ(RunOver(run, Silence) + 1, 25);
    EXPECT_TRUE(run.Complete());
    EXPECT_EQ(run.ProcessedFrames, 240000);
    EXPECT_EQ(run.Transmitted, 3270);
    EXPECT_EQ(run.ElapsedText(), "5 сек");
    EXPECT_EQ(run.RemainingText(), "0 сек");
    EXPECT_EQ(run.Progress(), 100);
    EXPECT_EQ(run.MeasuredSeconds(), 5);
    const ResultRows rows = run.Rows();
    EXPECT_EQ(rows[0].A, "3270");
    EXPECT_EQ(rows[0].B, "3270");
    EXPECT_EQ(rows[1].A, "0");
    EXPECT_EQ(rows[2].A, "0");
    EXPECT_EQ(rows[2].B, "0");

    // A new run starts from nothing.
    run.Reset(48000, 1);
    EXPECT_EQ(run.Transmitted, 0);
    EXPECT_EQ(RunOver(run, PulseTrain()), 5);
    EXPECT_EQ(run.Transmitted, 654);
    EXPECT_EQ(run.ErrorsA, 8);  // 10 pulses, 5 of them on a block's first frame: 15 crossings
}

TEST(ErrorRun, TheLastBlockIsCutToTheRunLength)
{
    ErrorRun run;
    run.Reset(1003, 1);  // blocks of 200 frames: the sixth block adds 3 frames
    const auto quiet = SignedBlock(0, 200, Silence);
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(run.ProcessData(quiet.data(), 200));
    const auto last = SignedBlock(
        0, 200, [](std::int64_t f) { return f == 2 ? 50 : 0; },  // inside the cut
        [](std::int64_t f) { return f == 3 ? 50 : 0; });         // just outside
    ASSERT_TRUE(run.ProcessData(last.data(), 200));
    EXPECT_EQ(run.ProcessedFrames, 1003);
    EXPECT_TRUE(run.Complete());
    EXPECT_EQ(run.CrossingsA, 1);
    EXPECT_EQ(run.CrossingsB, 0);
    EXPECT_EQ(run.Elapsed, 1);
    EXPECT_FALSE(run.ProcessData(last.data(), 200)) << "a block after the end belongs to no run";
    EXPECT_EQ(run.ProcessedFrames, 1003);
}

TEST(ErrorRun, PulsesAreCountedPerChannelAndPerBlock)
{
    // 100 pulses in 10 s; with the blocks starting on a pulse each block loses the rising edge of
    // its first pulse, with the pulses off the block edges none is lost.
    ErrorRun run;
    run.Reset(48000, 10);
    EXPECT_EQ(RunOver(run, PulseTrain(0)), 50);
    EXPECT_EQ(run.Transmitted, 6540);
    EXPECT_EQ(run.CrossingsA, 150);
    EXPECT_EQ(run.ErrorsA, 75);
    EXPECT_EQ(run.ErrorsB, 0);
    EXPECT_EQ(run.Rows()[2].A, "0,0114678899082569");  // 75 / 6540

    run.Reset(48000, 10);
    RunOver(run, Silence, PulseTrain(100));
    EXPECT_EQ(run.ErrorsA, 0);
    EXPECT_EQ(run.CrossingsB, 200);
    EXPECT_EQ(run.ErrorsB, 100);
    EXPECT_EQ(run.Rows()[1].B, "100");
}

TEST(ErrorRun, QuietBlocksAndTheMidLevel)
{
    // Noise of 19 levels peak to peak is silence; 20 levels are a signal.
    auto swing = [](int high) { return [high](std::int64_t f) { return f % 7 < 3 ? high : -9; }; };
    auto block = SignedBlock(0, 700, swing(10));
    EXPECT_EQ(CountCrossings(block.data(), 700, 0), 0);
    block = SignedBlock(0, 700, swing(11));
    EXPECT_EQ(CountCrossings(block.data(), 700, 0), 199);

    // The mid level is the integer mean of the extremes, cut toward zero: (5 - 30) / 2 = -12.
    const std::int8_t frames[] = {-30, 0, 5, 0, -12, 0, 5, 0};
    EXPECT_EQ(CountCrossings(frames, 4, 0), 2);
    // The first frame of a block starts high: its rising edge is not seen.
    const std::int8_t high[] = {0, 40, 0, 40, 0, 0, 0, 0};
    EXPECT_EQ(CountCrossings(high, 4, 1), 1);

    ErrorRun run;
    run.Reset(48000, 5);
    RunOver(run, [](std::int64_t f) { return static_cast<int>(f * 7919 % 19) - 9; });
    EXPECT_EQ(run.ErrorsA, 0);
    EXPECT_EQ(run.Rows()[2].A, "0");
}

}  // namespace
}  // namespace mirel::er
