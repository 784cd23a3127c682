#pragma once
// Synthetic 8-bit blocks for the density tests: interleaved unsigned levels, channel A first.

#include <cstdint>
#include <functional>
#include <vector>

namespace mirel::pv::testing {

using LevelFn = std::function<std::uint8_t(int frame)>;

inline std::uint8_t Silence(int)
{
    return 128;
}

inline std::vector<std::uint8_t> MakeBlock(int frames, const LevelFn& a, const LevelFn& b = Silence)
{
    std::vector<std::uint8_t> bytes(2 * static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        bytes[2 * static_cast<std::size_t>(i)] = a(i);
        bytes[2 * static_cast<std::size_t>(i) + 1] = b(i);
    }
    return bytes;
}

}  // namespace mirel::pv::testing
