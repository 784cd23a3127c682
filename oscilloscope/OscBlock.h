#pragma once
// The oscilloscope's copy of a capture block: interleaved frames of two signed 16-bit
// little-endian samples, channel A first.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace mirel::osc {

// Read-only access to the frames of a block. A frame outside the block reads as silence (0), so
// the trigger search and the mapping never read past the bytes they were given.
class BlockView {
public:
    BlockView() = default;
    explicit BlockView(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    int Frames() const { return static_cast<int>(bytes_.size() / 4); }
    std::int16_t A(int frame) const { return Sample(frame, 0); }
    std::int16_t B(int frame) const { return Sample(frame, 2); }
    // The bytes themselves, for a pass over every frame without a check per sample.
    std::span<const std::uint8_t> Bytes() const { return bytes_; }

private:
    std::int16_t Sample(int frame, int byteOffset) const
    {
        if (frame < 0 || frame >= Frames())
            return 0;
        const std::size_t at = static_cast<std::size_t>(frame) * 4 + static_cast<std::size_t>(byteOffset);
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(bytes_[at] | (bytes_[at + 1] << 8)));
    }

    std::span<const std::uint8_t> bytes_;
};

// `BlockCopy`: twice the capture buffer's size, allocated at each start. Each taken block first
// zeroes the buffer's length and then copies the buffer in, so a missing buffer (or a capture that
// is no longer running) leaves a silent block rather than stale samples.
class BlockCopy {
public:
    void Allocate(int bufferBytes);
    void Free();
    bool Exists() const { return !bytes_.empty(); }
    int BufferBytes() const { return bufferBytes_; }

    // `buffer` may be null; it must hold BufferBytes() bytes otherwise.
    void Take(const std::uint8_t* buffer, bool running);

    BlockView View() const
    {
        return BlockView(std::span<const std::uint8_t>(bytes_.data(), static_cast<std::size_t>(bufferBytes_)));
    }

private:
    std::vector<std::uint8_t> bytes_;
    int bufferBytes_ = 0;
};

// Interleaves two channels into block bytes (the shorter channel is padded with 0).
std::vector<std::uint8_t> InterleaveFrames(std::span<const std::int16_t> a, std::span<const std::int16_t> b);

}  // namespace mirel::osc
