#include "statistics/ErrorRun.h"

#include "StatisticsTestSupport.h"

#include <gtest/gtest.h>

namespace mirel::er {
namespace {

using namespace testing;

TEST(ErrorRun, RunLengthFromTheBox)
{
    struct Case {
        int item;
        const char* text;
        double seconds;
        int select;
    } cases[] = {
        {10, "10 мин", 600, -1}, {-1, "45", 45, -1}, {-1, "0045", 45, -1}, {-1, "", 10, 2},
        {-1, "0", 10, 2},        {-1, "4a", 10, 2},  {-1, "5 сек", 10, 2}, {-1, "99999999999", 10, 2},
    };
    for (const Case& c : cases) {
        const DurationChoice choice = ReadDuration(c.item, c.text);
        EXPECT_EQ(choice.Seconds, c.seconds) << c.text;
        EXPECT_EQ(choice.SelectItem, c.select) << c.text;
    }
    for (char32_t key : {U'0', U'9', char32_t{8}, char32_t{13}})
        EXPECT_TRUE(DurationKeyAllowed(key));
    for (char32_t key : {U'a', U'с', U' ', U'-', char32_t{27}})
        EXPECT_FALSE(DurationKeyAllowed(key));
}

TEST(ErrorRun, TheLastBlockIsCutToTheRunLength)
{
    ErrorRun run;
    run.Reset(1003, 1);  // blocks of 200 frames: the sixth adds 3 frames
    const auto quiet = SignedBlock(0, 200, Silence);
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(run.ProcessData(quiet.data(), 200));
    // A rising edge inside the cut on A, one just after it on B.
    const auto last = SignedBlock(
        0, 200, [](std::int64_t f) { return f == 2 ? 50 : 0; }, [](std::int64_t f) { return f == 3 ? 50 : 0; });
    ASSERT_TRUE(run.ProcessData(last.data(), 200));
    EXPECT_EQ(run.ProcessedFrames, 1003);
    EXPECT_EQ(run.Elapsed, 1);
    EXPECT_EQ(run.CrossingsA, 1);
    EXPECT_EQ(run.CrossingsB, 0);
    EXPECT_FALSE(run.ProcessData(last.data(), 200)) << "a block after the end belongs to no run";
    EXPECT_EQ(run.ProcessedFrames, 1003);
}

TEST(ErrorRun, PulsesOnABlockEdgeLoseTheirRisingCrossing)
{
    // 100 pulses in 10 s, half of them on the first frame of a block.
    ErrorRun run;
    run.Reset(48000, 10);
    for (std::int64_t first = 0; first < 480000; first += 9600) {
        const auto block = SignedBlock(first, 9600, PulseTrain(0));
        run.ProcessData(block.data(), 9600);
    }
    EXPECT_EQ(run.Transmitted, 6540);
    EXPECT_EQ(run.CrossingsA, 150);
    EXPECT_EQ(run.ErrorsA, 75);
    EXPECT_EQ(run.ErrorsB, 0);
    EXPECT_EQ(run.Rows()[2].A, "0,0114678899082569");
}

TEST(ErrorRun, RoundingOfTheTransmittedCountTheTimesAndTheErrors)
{
    // At 1000 Hz every block is 0.2 s; 654 signals per second make 130.8, 261.6, 392.4, 523.2
    // and 654 signals by the block ends, rounded to the nearest whole signal.
    struct Step {
        double transmitted;
        const char* elapsed;
        const char* remaining;
    } steps[] = {{131, "0 сек", "1 сек"},
                 {262, "0 сек", "1 сек"},
                 {392, "1 сек", "0 сек"},
                 {523, "1 сек", "0 сек"},
                 {654, "1 сек", "0 сек"}};
    ErrorRun run;
    run.Reset(1000, 1);
    // Channel A: a block that starts high, so that it shows a falling edge and then one pulse: three
    // crossings, which are two errors once rounded.
    const auto block = SignedBlock(0, 200, [](std::int64_t f) { return f < 10 || (f >= 50 && f < 60) ? 60 : 0; });
    for (const Step& step : steps) {
        ASSERT_TRUE(run.ProcessData(block.data(), 200));
        EXPECT_EQ(run.Transmitted, step.transmitted);
        EXPECT_EQ(run.ElapsedText(), step.elapsed) << run.Elapsed;
        EXPECT_EQ(run.RemainingText(), step.remaining) << run.Remaining;
    }
    EXPECT_EQ(run.CrossingsA, 15);
    EXPECT_EQ(run.ErrorsA, 8);
    ErrorRun once;
    once.Reset(1000, 1);
    once.ProcessData(block.data(), 200);
    EXPECT_EQ(once.ErrorsA, 2);

    // The mid level of 15 and -10 is 2.5, cut toward zero to 2: a sample at 2 is at the mid level,
    // so only its fall below and the rise above count.
    const std::int8_t between[] = {-10, 0, 2, 0, -10, 0, 15, 0};
    EXPECT_EQ(CountCrossings(between, 4, 0), 2);
}

TEST(ErrorRun, QuietBlocksAndTheMidLevel)
{
    // 19 levels peak to peak are silence; 20 levels are a signal.
    auto swing = [](int high) { return [high](std::int64_t f) { return f % 7 < 3 ? high : -9; }; };
    EXPECT_EQ(CountCrossings(SignedBlock(0, 700, swing(10)).data(), 700, 0), 0);
    EXPECT_EQ(CountCrossings(SignedBlock(0, 700, swing(11)).data(), 700, 0), 199);
    // The mid level is the mean of the extremes cut toward zero: (5 - 30) / 2 = -12.
    const std::int8_t frames[] = {-30, 0, 5, 0, -12, 0, 5, 0};
    EXPECT_EQ(CountCrossings(frames, 4, 0), 2);
    // Channel B of the same frames: a block that starts high shows only the falling edge.
    const std::int8_t high[] = {0, 40, 0, 40, 0, 0, 0, 0};
    EXPECT_EQ(CountCrossings(high, 4, 1), 1);
}

}  // namespace
}  // namespace mirel::er
