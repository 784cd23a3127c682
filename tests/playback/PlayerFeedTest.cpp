// The output's samples without a sound card: the feed's frames are the source's own, continued
// from block to block whatever the block length, clipped to full scale, and a new source is faded
// in linearly across exactly one block.
#include "playback/PlayerFeed.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

using namespace mirel;

namespace {

std::unique_ptr<StereoSource> source(const char* text)
{
    GeneratorSpec spec;
    std::string error;
    EXPECT_TRUE(parseGeneratorSpec(text, spec, error)) << error;
    return std::make_unique<StereoSource>(spec, 48000, 7);
}

// Frames first .. first + count - 1 of a source made as the feed's was, as volts.
std::vector<double> expected(const char* text, std::int64_t first, int count)
{
    std::vector<double> frames(2 * static_cast<size_t>(count));
    source(text)->render(first, count, frames.data());
    return frames;
}

std::vector<float> next(PlayerFeed& feed, int count)
{
    std::vector<float> out(2 * static_cast<size_t>(count));
    feed.render(out.data(), count);
    return out;
}

}  // namespace

TEST(PlayerFeed, BlocksOfAnyLengthContinueTheSourcesFramesClippedToFullScale)
{
    // Both signals depend on the frame alone, so a source made afresh renders any stretch of them.
    const char* const signal = "A=square:1000:1,B=sweep:100:10000:0.5";
    PlayerFeed feed(source(signal));
    std::int64_t first = 0;
    for (const int count : {1, 511, PlayerFeed::ScratchFrames, PlayerFeed::ScratchFrames + 1, 5000, 0, 64}) {
        SCOPED_TRACE("a block of " + std::to_string(count) + " frames from frame " + std::to_string(first));
        const std::vector<float> out = next(feed, count);
        const std::vector<double> want = expected(signal, first, count);
        for (size_t i = 0; i < out.size(); ++i)
            ASSERT_EQ(out[i], static_cast<float>(std::clamp(want[i], -1.0, 1.0))) << "sample " << i;
        first += count;
        EXPECT_EQ(feed.frames(), first);
    }

    PlayerFeed loud(source("A=square:1000:1+noise:0.5,B=silence"));
    const std::vector<float> out = next(loud, 4800);
    EXPECT_EQ(*std::max_element(out.begin(), out.end()), 1.0f);
    EXPECT_EQ(*std::min_element(out.begin(), out.end()), -1.0f);
}

// Checks the next block of `count` frames: `from` faded out and `to` faded in, linearly.
void expectFade(PlayerFeed& feed, int count, const char* from, const char* to)
{
    SCOPED_TRACE(std::string("a block of ") + std::to_string(count) + " frames from " + from + " to " + to);
    const std::int64_t first = feed.frames();
    const std::vector<float> out = next(feed, count);
    const std::vector<double> old = expected(from, first, count);
    const std::vector<double> fresh = expected(to, first, count);
    for (size_t at = 0; at < out.size(); ++at) {
        const double gain = static_cast<double>(at / 2 + 1) / count;
        ASSERT_FLOAT_EQ(out[at], static_cast<float>(old[at] + gain * (fresh[at] - old[at]))) << "sample " << at;
    }
}

TEST(PlayerFeed, ANewSourceFadesInAcrossOneBlockAndThenPlaysAlone)
{
    const char* const before = "A=sine:1000:0.5,B=pink:0.1";
    const char* const after = "A=sine:1000:0.1,B=sweep:20:20000:1";
    PlayerFeed feed(source(before));
    next(feed, 300);
    // Offered twice before a block: only the last counts.
    feed.offer(source("A=square,B=square"));
    feed.offer(source(after));
    expectFade(feed, PlayerFeed::ScratchFrames + 100, before, after);
    feed.offer(source(before));
    expectFade(feed, 257, after, before);

    const std::int64_t first = feed.frames();
    const std::vector<float> out = next(feed, 100);
    const std::vector<double> alone = expected(before, first, 100);
    for (size_t at = 0; at < out.size(); ++at)
        ASSERT_FLOAT_EQ(out[at], static_cast<float>(alone[at])) << "sample " << at;
}

TEST(PlayerFeed, ASourceOfferedWhileTheBlockThatTookThePreviousOneRendersIsStillTaken)
{
    // The callback renders on a thread of its own, in long blocks; the second offer comes while the
    // block that took the first is being rendered. No offer follows it, so nothing else collects
    // what that block retires: the second source must play all the same.
    const char* const first = "A=sweep:20:20000:1,B=sweep:20000:20:1";
    const char* const last = "A=sine:1000:0.25,B=silence";
    constexpr int Block = 16384;
    for (int trial = 0; trial < 20; ++trial) {
        SCOPED_TRACE("trial " + std::to_string(trial));
        PlayerFeed feed(source(first));
        std::atomic<bool> done{false};
        std::thread callback([&] {
            std::vector<float> out(2 * Block);
            while (!done.load())
                feed.render(out.data(), Block);
        });
        auto afterBlocks = [&feed](int blocks) {
            const std::int64_t until = feed.frames() + std::int64_t{blocks} * Block;
            while (feed.frames() < until)
                std::this_thread::yield();
        };
        afterBlocks(1);
        auto second = source(last);
        const std::int64_t before = feed.frames();
        feed.offer(source(first));
        while (feed.frames() == before) {
        }
        feed.offer(std::move(second));
        afterBlocks(3);
        done.store(true);
        callback.join();

        const std::int64_t at = feed.frames();
        const std::vector<float> out = next(feed, 100);
        const std::vector<double> alone = expected(last, at, 100);
        for (size_t i = 0; i < out.size(); ++i)
            ASSERT_FLOAT_EQ(out[i], static_cast<float>(alone[i])) << "sample " << i;
    }
}
