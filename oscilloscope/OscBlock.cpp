#include "oscilloscope/OscBlock.h"

#include <algorithm>
#include <cstring>

namespace mirel::osc {

void BlockCopy::Allocate(int bufferBytes)
{
    bufferBytes_ = std::max(bufferBytes, 0);
    bytes_.assign(static_cast<std::size_t>(bufferBytes_) * 2, 0);
}

void BlockCopy::Free()
{
    bytes_.clear();
    bytes_.shrink_to_fit();
    bufferBytes_ = 0;
}

void BlockCopy::Take(const std::uint8_t* buffer, bool running)
{
    if (!Exists())
        return;
    std::fill_n(bytes_.begin(), bufferBytes_, std::uint8_t{0});
    if (running && buffer != nullptr)
        std::memcpy(bytes_.data(), buffer, static_cast<std::size_t>(bufferBytes_));
}

std::vector<std::uint8_t> InterleaveFrames(std::span<const std::int16_t> a, std::span<const std::int16_t> b)
{
    const std::size_t frames = std::max(a.size(), b.size());
    std::vector<std::uint8_t> bytes(frames * 4, 0);
    auto put = [&](std::size_t at, std::int16_t s) {
        const auto u = static_cast<std::uint16_t>(s);
        bytes[at] = static_cast<std::uint8_t>(u & 0xFF);
        bytes[at + 1] = static_cast<std::uint8_t>(u >> 8);
    };
    for (std::size_t i = 0; i < frames; ++i) {
        put(i * 4, i < a.size() ? a[i] : std::int16_t{0});
        put(i * 4 + 2, i < b.size() ? b[i] : std::int16_t{0});
    }
    return bytes;
}

}  // namespace mirel::osc
