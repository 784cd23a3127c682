#include "capture/BlockHandoff.h"

namespace mirel {

void DeinterleaveStereo16(const std::uint8_t* buffer, int bufferBytes, std::int16_t* samplesA, std::int16_t* samplesB)
{
    const int frames = bufferBytes / 4;
    for (int i = 0; i < frames; ++i) {
        const std::uint8_t* frame = buffer + 4 * i;
        samplesA[i] = static_cast<std::int16_t>(static_cast<std::uint16_t>(frame[0] | (frame[1] << 8)));
        samplesB[i] = static_cast<std::int16_t>(static_cast<std::uint16_t>(frame[2] | (frame[3] << 8)));
    }
}

void CopyUnsignedAsSigned8(const std::uint8_t* buffer, int bufferBytes, std::int8_t* copy)
{
    for (int i = 0; i < bufferBytes; ++i)
        copy[i] = static_cast<std::int8_t>(static_cast<std::uint8_t>(buffer[i] + 128));
}

}  // namespace mirel
