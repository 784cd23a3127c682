#pragma once
// Texts of the density display: the level labels in volts under the plot, and each channel's
// title and density labels beside it, with their positions. The window draws them as they come,
// with an opaque background.

#include "common/PlotText.h"
#include "density/DensityScales.h"

#include <string>
#include <vector>

namespace mirel::pv {

// `XTextOut`: -1.0 … 1.0 under the 21 vertical grid lines and the unit «В» right of them.
AxisTexts XTextOut(const PlotGeometry& plot);

// `AYTextOut`: «Канал A» and the density labels of channel A left of the plot, top to bottom:
// `scaleA` down to 0.0 in the density mode, 1.0 down to 0.0 in the normalised mode.
AxisTexts AYTextOut(const PlotGeometry& plot, double scaleA, bool normalised);

// `BYTextOut`: the same for channel B on the right of the plot.
AxisTexts BYTextOut(const PlotGeometry& plot, double scaleB, bool normalised);

// The label values alone, as the functions above write them.
std::vector<std::string> LevelLabelTexts();
std::vector<std::string> DensityLabelTexts(double fullScale);

}  // namespace mirel::pv
