#pragma once
// Synthetic capture blocks for the oscilloscope tests.

#include "oscilloscope/OscBlock.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace mirel::osc::testing {

using SampleFn = std::function<std::int16_t(int frame)>;

inline std::int16_t Silence(int)
{
    return 0;
}

// Block bytes of `frames` frames with channel A and B given per frame.
inline std::vector<std::uint8_t> MakeBlock(int frames, const SampleFn& a, const SampleFn& b = Silence)
{
    std::vector<std::int16_t> sa(static_cast<size_t>(frames)), sb(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        sa[static_cast<size_t>(i)] = a(i);
        sb[static_cast<size_t>(i)] = b(i);
    }
    return InterleaveFrames(sa, sb);
}

inline BlockView View(const std::vector<std::uint8_t>& bytes)
{
    return BlockView(bytes);
}

}  // namespace mirel::osc::testing
