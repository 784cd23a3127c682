#pragma once
// Colours of the graphical displays: 24-bit RGB values (0xRRGGBB) and the two fixed schemes.

#include <cstdint>

namespace mirel {

// A colour as 0xRRGGBB; the top byte is always zero.
using Rgb = std::uint32_t;

constexpr Rgb MakeRgb(unsigned red, unsigned green, unsigned blue)
{
    return ((red & 0xFFu) << 16) | ((green & 0xFFu) << 8) | (blue & 0xFFu);
}
constexpr unsigned RedOf(Rgb c)
{
    return (c >> 16) & 0xFFu;
}
constexpr unsigned GreenOf(Rgb c)
{
    return (c >> 8) & 0xFFu;
}
constexpr unsigned BlueOf(Rgb c)
{
    return c & 0xFFu;
}

// `colour` taken halfway towards `background`: a paler shade of a curve's colour for a second
// curve of the same channel (a held peak), in either scheme.
constexpr Rgb Blended(Rgb colour, Rgb background)
{
    return MakeRgb((RedOf(colour) + RedOf(background)) / 2, (GreenOf(colour) + GreenOf(background)) / 2,
                   (BlueOf(colour) + BlueOf(background)) / 2);
}
static_assert(Blended(0x008000, 0xFFFFFF) == 0x7FBF7F);

// The five colours a display draws with, always in this order.
struct DisplayPalette {
    Rgb Background;  // surface fill, brush, erase colour, background of texts
    Rgb ChannelA;    // curve, labels and title of channel A
    Rgb ChannelB;    // curve, labels and title of channel B
    Rgb Grid;        // dotted grid lines
    Rgb Frame;       // frame, solid axis lines, axis label text

    friend constexpr bool operator==(const DisplayPalette&, const DisplayPalette&) = default;
};

inline constexpr DisplayPalette WhiteScheme{0xFFFFFF, 0x008000, 0xFF0000, 0x808080, 0x000000};
inline constexpr DisplayPalette BlackScheme{0x000000, 0x00FF00, 0xFF0000, 0xC0C0C0, 0xFFFFFF};

}  // namespace mirel
