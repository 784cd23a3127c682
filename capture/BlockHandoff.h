#pragma once
// How a filled capture buffer becomes an instrument's own data. Each is one pass over the block.

#include <cstdint>

namespace mirel {

// Splits interleaved 16-bit frames (channel A first) into two arrays of `bufferBytes / 4` samples.
void DeinterleaveStereo16(const std::uint8_t* buffer, int bufferBytes, std::int16_t* samplesA, std::int16_t* samplesB);

// Copies unsigned 8-bit samples (silence 128) as signed ones: 0 → −128, 128 → 0, 255 → 127.
void CopyUnsignedAsSigned8(const std::uint8_t* buffer, int bufferBytes, std::int8_t* copy);

}  // namespace mirel
