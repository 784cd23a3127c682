#pragma once
// Colour maps of the spectrogram: 256 pixels per map from the lowest level to the highest, and
// where a level in decibels falls on them.

#include <array>
#include <cstdint>

namespace mirel::spectrum {

enum class ColourMap { Viridis, Grey };

// Pixels as 0xffRRGGBB (opaque, red in bits 16–23), index 0 for the lowest level.
using ColourTable = std::array<std::uint32_t, 256>;

const ColourTable& ColourTableOf(ColourMap map);

// The index of `db` on a scale whose bottom, top − span, is index 0 and whose top is 256:
// floor((db − (top − span)) / span × 256) within 0 … 255. Below the bottom (−∞ and NaN too) 0, at
// or above the top 255.
inline int ColourIndex(double db, double top, double span)
{
    const double x = (db - (top - span)) * (256 / span);
    if (!(x >= 0))
        return 0;
    return x >= 255 ? 255 : static_cast<int>(x);
}

}  // namespace mirel::spectrum
