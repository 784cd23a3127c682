#pragma once
// The density display's value under the cursor: the level a pixel column shows and each channel's
// curve value at that level, as the curves draw it, and the lines of the readout.

#include "density/DensityPoints.h"

#include <string>

namespace mirel::pv {

struct CursorLevel {
    bool Inside = false;  // the column lies on the plot
    int Bin = 0;          // the level nearest the column (0 … 255)
    double Level = 0;     // volts, level 128 at 0 and levels 1/128 V apart
    double A = 0;         // each channel's curve there: normalised 0 … 1, or the density in 1/V
    double B = 0;
};

// The level whose column (BinX) is nearest `x`, and the curves' values at it.
CursorLevel LevelAtColumn(const Histogram& histA, const Histogram& histB, bool normalised, const PlotGeometry& plot,
                          int x);

// "U = 250 мВ".
std::string LevelText(double volts);
// "A: 0.53" (normalised) or "A: 3.12 1/В" (density).
std::string CurveValueText(const char* channel, double value, bool normalised);

}  // namespace mirel::pv
