#pragma once
// Texts placed on a display: what a scale computes (the value, where it goes, its colour role and
// weight) before any drawing, so that label rules are tested without a window. Also the small text
// rules the scales share.

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
};

// A rectangle to fill with the background colour before the texts are drawn (left, top, right,
// bottom; the right and bottom edges excluded). An empty one fills nothing.
struct ClearRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

struct AxisTexts {
    ClearRect Clear;
    std::vector<PlacedText> Texts;  // in drawing order
};

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
