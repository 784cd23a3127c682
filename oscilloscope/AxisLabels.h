#pragma once
// Texts of the oscilloscope's scales: time-axis labels and unit, the volt labels and title of each
// channel, with their positions. The window draws them as they come, with an opaque background.

#include "common/PlotText.h"
#include "oscilloscope/OscScales.h"

#include <string>
#include <string_view>
#include <vector>

namespace mirel::osc {

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
