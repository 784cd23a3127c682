#pragma once
// Texts placed on a display: what a scale computes (the value, where it goes, its colour role and
// weight) before any drawing, so that label rules are tested without a window; the rule that leaves
// out a label which would touch another text; and the small text rules the scales share.

#include <string>
#include <string_view>
#include <vector>

namespace mirel {

// Colour role of a text, taken from the current colour scheme when it is drawn.
enum class TextColour { Frame, ChannelA, ChannelB, Background };

struct PlacedText {
    std::string Text;  // UTF-8
    int X = 0;         // top-left corner, pixels of the drawing surface
    int Y = 0;
    bool Bold = false;
    TextColour Colour = TextColour::Frame;
    // Place of a scale label along its scale (0 … n). -1: a title, unit or mark, which is never
    // left out for a label.
    int Index = -1;
};

// A rectangle to fill with the background colour before the texts are drawn (left, top, right,
// bottom; the right and bottom edges excluded). An empty one fills nothing.
struct ClearRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

struct AxisTexts {
    ClearRect Clear;
    std::vector<PlacedText> Texts;  // in drawing order
    int Origin = 0;                 // the Index of the scale's zero (or start), kept with both ends
};

// The box around a text's glyphs in pixels (left, top, right, bottom; right and bottom excluded).
struct TextBox {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// Two texts read as one when their glyphs come closer than this side by side, or cover each other
// (a text's opaque cell reaches two rows past its glyphs) when closer than this one above the other.
// Two labels of one scale need more room side by side than the gap around a decimal comma.
inline constexpr int TextGapX = 3;
inline constexpr int LabelGapX = 5;
inline constexpr int TextGapY = 2;
bool TooClose(const TextBox& a, const TextBox& b, int gapX = TextGapX);

// Which texts of `texts` to draw, given the box of each (`boxes[i]` of `texts.Texts[i]`) and the
// boxes of the texts already shown (`shown`). Titles, units, marks, the scale's ends and its zero
// come first, in their order; then the labels at every s-th place from the zero, for the smallest
// s (a divisor of the distance from the zero to the ends before any other) at which no two of them
// come too close. Any text that would come too close to one kept before it is left out. Texts in
// the background colour (blanks that erase an older text) are always drawn.
std::vector<bool> FitTexts(const AxisTexts& texts, const std::vector<TextBox>& boxes,
                           const std::vector<TextBox>& shown);

// The text up to its first blank: the number of a ValueToStr result without its prefix.
std::string UpToFirstBlank(std::string text);
// The text after its first blank (all of it when there is none): the prefix of a ValueToStr result.
std::string AfterFirstBlank(std::string_view text);
bool Contains(std::string_view text, char c);
// Characters of a UTF-8 text (not bytes), for the width estimates of the scales.
int Utf8Length(std::string_view text);
// A real value converted to an integer by truncation toward zero.
int Trunc(double value);

}  // namespace mirel
