#pragma once
// Support of the statistics tests: synthetic input (a stream of frames cut into blocks, channel A
// and B given as signed levels per stream frame) and the reading back of a results file.

#include <cstdint>
#include <functional>
#include <iconv.h>
#include <string>
#include <vector>

namespace mirel::er::testing {

using LevelFn = std::function<int(std::int64_t frame)>;

inline int Silence(std::int64_t)
{
    return 0;
}

// 10 pulses per second at 48000 Hz, 1 ms high at 0.8 of full scale, the first at frame `start`.
inline LevelFn PulseTrain(std::int64_t start = 0)
{
    return [start](std::int64_t frame) { return ((frame - start) % 4800 + 4800) % 4800 < 48 ? 102 : 0; };
}

// The frames `first` .. `first + frames - 1` of the stream as signed interleaved samples.
inline std::vector<std::int8_t> SignedBlock(std::int64_t first, int frames, const LevelFn& a,
                                            const LevelFn& b = Silence)
{
    std::vector<std::int8_t> block(2 * static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        block[2 * static_cast<size_t>(i)] = static_cast<std::int8_t>(a(first + i));
        block[2 * static_cast<size_t>(i) + 1] = static_cast<std::int8_t>(b(first + i));
    }
    return block;
}

// The same as the card delivers it: unsigned bytes, silence at 128.
inline std::vector<std::uint8_t> CardBlock(std::int64_t first, int frames, const LevelFn& a, const LevelFn& b = Silence)
{
    std::vector<std::uint8_t> bytes;
    for (std::int8_t sample : SignedBlock(first, frames, a, b))
        bytes.push_back(static_cast<std::uint8_t>(sample + 128));
    return bytes;
}

// Windows-1251 bytes as UTF-8, converted independently of the code under test.
inline std::string FromWindows1251(const std::string& bytes)
{
    iconv_t converter = iconv_open("UTF-8", "CP1251");
    std::string out(bytes.size() * 3, '\0');
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char* next = out.data();
    size_t outLeft = out.size();
    iconv(converter, &in, &inLeft, &next, &outLeft);
    iconv_close(converter);
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace mirel::er::testing
