#pragma once
// Texts of the oscilloscope's scales: time-axis labels and unit, the volt labels and title of each
// channel, with their positions. The window draws them as they come, with an opaque background.

#include "OscScales.h"

#include <string>
#include <string_view>
#include <vector>

namespace mirel::osc {

// Colour role of a text, taken from the current colour scheme.
enum class TextColour { Frame, ChannelA, ChannelB, Background };

struct PlacedText {
    std::string Text;  // UTF-8
    int X = 0;         // top-left corner, pixels of the drawing surface
    int Y = 0;
    bool Bold = false;
    TextColour Colour = TextColour::Frame;
};

// A rectangle to fill with the background colour before the texts are drawn (left, top, right,
// bottom; the right and bottom edges excluded).
struct ClearRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

struct AxisTexts {
    ClearRect Clear;
    std::vector<PlacedText> Texts;  // in drawing order
};

// `XTextOut`: the time labels under the plot (one per division line, values in the unit of the
// time per division of a 16-division screen, trailing zeros dropped) and the unit «мс» / «мкс» to
// the right of them.
AxisTexts XTextOut(const PlotGeometry& geometry, double timeBase);

// `AYTextOut`: channel A's volt labels left of the plot, top to bottom, and its title «Канал A (В)».
// `captionA` is the current sensitivity caption of channel A («0.5 В/дел»), whose unit goes into
// the title.
AxisTexts AYTextOut(const PlotGeometry& geometry, double sensA, std::string_view captionA);

// `BYTextOut`: the same for channel B on the right of the plot.
AxisTexts BYTextOut(const PlotGeometry& geometry, double sensB, std::string_view captionB);

// The label values alone (without positions), as the functions above write them.
std::vector<std::string> TimeLabelTexts(double timeBase, int timeDivisions);
std::string TimeUnitText(double timeBase, int timeDivisions);
std::vector<std::string> VoltLabelTexts(double sens, int voltDivisions);
// «В» or «мВ» from a caption such as «50 мВ/дел».
std::string UnitOfCaption(std::string_view caption);

}  // namespace mirel::osc
