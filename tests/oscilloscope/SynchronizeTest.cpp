#include "oscilloscope/Synchronize.h"

#include "TestBlocks.h"
#include "oscilloscope/OscScales.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>
#include <string>
#include <vector>

namespace mirel::osc {
namespace {

using testing::MakeBlock;
using testing::Silence;
using testing::View;

constexpr int kFrames = 153 + 300;

// A block whose channel A is `level` everywhere except for `pattern` written from frame `at` on.
std::vector<std::uint8_t> PatternBlock(int at, std::vector<int> pattern, int level = 100, int frames = kFrames)
{
    return MakeBlock(frames, [=](int i) {
        const int k = i - at;
        return static_cast<std::int16_t>(
            k >= 0 && k < static_cast<int>(pattern.size()) ? pattern[static_cast<size_t>(k)] : level);
    });
}

TEST(Synchronize, SineStartsEverySnapshotAtTheSamePhase)
{
    // 1 kHz at 48000 Hz: 48 samples per period. Each block starts at an arbitrary phase of the
    // signal; try phases between the samples all around the period.
    constexpr double rate = 48000, freq = 1000, amplitude = 12000;
    const double period = rate / freq;
    auto sineFrom = [&](double start) {
        return [=](int i) {
            return static_cast<std::int16_t>(
                std::lround(amplitude * std::sin(2 * std::numbers::pi * (i + start) / period)));
        };
    };
    for (int k = 0; k < 2 * period; ++k) {
        const double start = k * 0.5 + 0.25;
        SCOPED_TRACE("block starts at phase " + std::to_string(start) + " samples");
        auto sine = sineFrom(start);
        const auto bytes = MakeBlock(kFrames, sine);
        const auto t = Synchronize("AB", View(bytes));
        ASSERT_GE(t.TriggerA, 0);
        ASSERT_LT(t.TriggerA, 100);
        // The first shown frame is the first sample after a rising zero crossing: its position
        // within the period, counted from the crossing, lies in [0, 1) samples.
        const double sinceCrossing = std::fmod(BlockLeadIn + t.TriggerA + start, period);
        EXPECT_GE(sinceCrossing, 0.0);
        EXPECT_LT(sinceCrossing, 1.0);
        // And it is the first such crossing at or after frame 200.
        EXPECT_LT(t.TriggerA, period);
        EXPECT_EQ(t.TriggerB, 0) << "silent B has no crossing";
    }
    // Sampled exactly on its zeros, the sine never crosses strictly: no trigger at all.
    const auto onZeros = MakeBlock(kFrames, sineFrom(0));
    EXPECT_EQ(Synchronize("AB", View(onZeros)), (TriggerOffsets{0, 0}));
}

TEST(Synchronize, CrossingNeedsTwoStrictSamplesOfGuardOnEachSide)
{
    struct Case {
        const char* what;
        int at;
        std::vector<int> pattern;
        int expected;
        int level = 100;  // every frame outside the pattern
    } cases[] = {
        {"clean crossing", 240, {-5, -4, 3, 6}, 42},
        {"exact zero at the crossing is skipped, the next crossing found",
         248,
         {-3, -1, 0, 2, 5, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, -5, -4, 3, 6},
         70},
        {"zero two frames before the rise", 240, {0, -4, 3, 6}, 0},
        {"zero just before the rise", 240, {-5, 0, 3, 6}, 0},
        {"zero right after the rise", 240, {-5, -4, 3, 0}, 0},
        {"one negative sample only", 240, {100, -4, 3, 6}, 0},
        {"glitch falls back after one positive sample", 240, {-5, -4, 3, -2, 5}, 0},
        {"falling crossing is ignored", 0, std::vector<int>(250, 100), 0, -100},
        {"crossing whose rise is frame 200 gives offset 0", 198, {-5, -4, 3, 6}, 0},
        {"last frame of the window, guard read from frame 300", 297, {-5, -4, 3, 6}, 99},
        {"last frame of the window with frame 300 at zero", 297, {-5, -4, 3, 0}, 0},
        {"rise at frame 300 is outside the window", 298, {-5, -4, 3, 6}, 0},
        {"rise before the window", 150, {-5, -4, 3, 6}, 0},
        {"minimum and maximum samples", 260, {-32768, -32768, 32767, 32767}, 62},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto bytes = PatternBlock(c.at, c.pattern, c.level);
        EXPECT_EQ(FindRisingCrossing(View(bytes), false), c.expected);
        EXPECT_EQ(Synchronize("A", View(bytes)).TriggerA, c.expected);
    }
}

TEST(Synchronize, FirstOfSeveralCrossingsWins)
{
    const auto bytes = PatternBlock(210, {-1, -1, 1, 1, 100, -1, -1, 1, 1});
    EXPECT_EQ(Synchronize("AB", View(bytes)).TriggerA, 12);
}

TEST(Synchronize, DcAndSilenceGiveNoOffset)
{
    for (int level : {0, 1, -1, 20000, -32768, 32767}) {
        const auto bytes = MakeBlock(
            kFrames, [=](int) { return static_cast<std::int16_t>(level); },
            [=](int) { return static_cast<std::int16_t>(level); });
        for (const char* mode : {"", "AB", "A", "B", "2POA", "2POB"})
            EXPECT_EQ(Synchronize(mode, View(bytes)), (TriggerOffsets{0, 0})) << "level " << level << " mode " << mode;
    }
}

// A crosses at offset 10, B at offset 40.
std::vector<std::uint8_t> TwoChannelBlock(bool bSilent = false)
{
    auto a = [](int i) { return static_cast<std::int16_t>(i < 210 ? -500 : 500); };
    auto b = [=](int i) { return static_cast<std::int16_t>(bSilent ? 0 : (i < 240 ? -500 : 500)); };
    return MakeBlock(kFrames, a, b);
}

TEST(Synchronize, ModesChooseWhichChannelSetsWhichOffset)
{
    const auto bytes = TwoChannelBlock();
    const std::map<std::string, TriggerOffsets> expected = {
        {"", {0, 0}},
        {"AB", {10, 40}},
        {"A", {10, 0}},
        {"B", {0, 40}},
        {"2POA", {10, 10}},
        {"2POB", {40, 40}},
        // The channels are searched by the letters as written, the mode is then compared in upper
        // case; anything else starts both channels unsynchronised.
        {"ab", {0, 0}},
        {"aB", {0, 40}},
        {"BA", {0, 0}},
        {"X", {0, 0}},
        {"2poa", {0, 0}},
    };
    for (const auto& [mode, offsets] : expected)
        EXPECT_EQ(Synchronize(mode, View(bytes)), offsets) << "mode '" << mode << "'";
}

TEST(Synchronize, BothChannelsOnSilentBStartAtTheLeadIn)
{
    const auto bytes = TwoChannelBlock(/*bSilent=*/true);
    EXPECT_EQ(Synchronize("2POB", View(bytes)), (TriggerOffsets{0, 0}));
    EXPECT_EQ(Synchronize("2POA", View(bytes)), (TriggerOffsets{10, 10}));
}

TEST(Synchronize, ShortOrEmptyBlocksReadAsSilence)
{
    // A block cut short after the rise: the guard sample beyond the end reads as 0.
    const auto cut = PatternBlock(240, {-5, -4, 3}, 100, 243);
    EXPECT_EQ(Synchronize("AB", View(cut)), (TriggerOffsets{0, 0}));
    const auto enough = PatternBlock(240, {-5, -4, 3, 6}, 100, 244);
    EXPECT_EQ(Synchronize("AB", View(enough)).TriggerA, 42);
    EXPECT_EQ(Synchronize("AB", BlockView()), (TriggerOffsets{0, 0}));
}

TEST(Synchronize, ComboItemsMapToModes)
{
    const char* modes[] = {"", "AB", "A", "B", "2POA", "2POB"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(SyncModeForItem(i), std::optional<std::string>(modes[i])) << i;
    EXPECT_EQ(SyncModeForItem(-1), std::nullopt);
    EXPECT_EQ(SyncModeForItem(6), std::nullopt);
    EXPECT_STREQ(SyncItems[SyncItemAtStart].Caption, "Оба канала");
}

}  // namespace
}  // namespace mirel::osc
