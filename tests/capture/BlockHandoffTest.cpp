// The per-instrument block conversions.
#include "capture/BlockHandoff.h"

#include <gtest/gtest.h>
#include <vector>

using namespace mirel;

TEST(BlockHandoff, UnsignedBytesBecomeSignedAroundSilence)
{
    const std::vector<std::uint8_t> block = {0, 1, 127, 128, 129, 255};
    std::vector<std::int8_t> copy(block.size());
    CopyUnsignedAsSigned8(block.data(), static_cast<int>(block.size()), copy.data());
    EXPECT_EQ(copy, (std::vector<std::int8_t>{-128, -127, -1, 0, 1, 127}));
}

TEST(BlockHandoff, StereoFramesSplitIntoChannels)
{
    // Frames (A, B): (1, -1), (-32768, 32767), (256, 0)
    const std::vector<std::uint8_t> block = {0x01, 0x00, 0xFF, 0xFF, 0x00, 0x80, 0xFF, 0x7F, 0x00, 0x01, 0x00, 0x00};
    std::vector<std::int16_t> a(3), b(3);
    DeinterleaveStereo16(block.data(), static_cast<int>(block.size()), a.data(), b.data());
    EXPECT_EQ(a, (std::vector<std::int16_t>{1, -32768, 256}));
    EXPECT_EQ(b, (std::vector<std::int16_t>{-1, 32767, 0}));
}
