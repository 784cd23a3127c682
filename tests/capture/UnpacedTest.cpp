// The unpaced generator: blocks as fast as they are taken, each one straight after the other.
#include "capture/GeneratorInput.h"
#include "support/BlockCollector.h"

#include <gtest/gtest.h>

using namespace mirel;

namespace {

TEST(UnpacedGenerator, DeliversSecondsOfSignalAtOnceWithoutAGapBetweenBlocks)
{
    GeneratorSpec spec;
    std::string error;
    ASSERT_TRUE(parseGeneratorSpec("A=square:1000:0.5,B=silence", spec, error)) << error;
    GeneratorInput input(spec);
    input.setUnpaced(true);
    TWaveRecorder recorder{input};
    test::BlockCollector window{recorder};

    // 30 s of signal in blocks of one second and one frame, so that no block starts at the same
    // phase as the one before; in real time this would take half a minute.
    constexpr int Frames = 48001;
    ASSERT_TRUE(recorder.StartRecording(0, 2, 48000, 16, &window, Frames, &window.buffer)) << recorder.ErrorText;
    const bool allIn = window.waitForBlocks(30, 10000);
    recorder.StopRecording();
    ASSERT_TRUE(allIn) << "blocks received: " << window.blocks.size();

    // Channel A of all blocks in a row: every edge of the square wave 24 frames after the last.
    std::vector<int> signs;
    for (size_t b = 0; b < 30; ++b) {
        ASSERT_EQ(window.blocks[b].size(), size_t{Frames} * 4);
        for (int i = 0; i < Frames; ++i) {
            const auto* frame = window.blocks[b].data() + 4 * i;
            signs.push_back(static_cast<std::int16_t>(frame[0] | frame[1] << 8) > 0 ? 1 : -1);
        }
    }
    size_t lastEdge = 0;
    int edges = 0;
    for (size_t i = 1; i < signs.size(); ++i) {
        if (signs[i] == signs[i - 1])
            continue;
        if (edges++ > 0) {
            ASSERT_EQ(i - lastEdge, 24u) << "at frame " << i;
        }
        lastEdge = i;
    }
    EXPECT_GT(edges, 30 * 1999);
}

}  // namespace
