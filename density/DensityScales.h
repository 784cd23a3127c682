#pragma once
// Settings of the density display that the window and its computation share: block length per
// refresh rate, the plot rectangle inside the drawing surface, the vertical scales of the density
// mode and the captions of their controls.

#include "common/PlotRect.h"

#include <string>

namespace mirel::pv {

// One bin per 8-bit sample level; level 128 is the zero line.
inline constexpr int BinCount = 256;
inline constexpr int ZeroLevel = 128;

// Margins of the drawing surface around the plot.
inline constexpr int MarginLeft = 40;
inline constexpr int MarginTop = 20;
inline constexpr int MarginRight = 40;
inline constexpr int MarginBottom = 20;

// Blocks per second (track bar `tbrps`).
inline constexpr int RefreshRateMin = 1;
inline constexpr int RefreshRateMax = 10;
inline constexpr int RefreshRateAtStart = 3;

// Scale track bars `tbVP1`, `tbVP2`: a position is a tenth of the full-height density in 1/V.
inline constexpr int ScalePositionMin = 1;
inline constexpr int ScalePositionMax = 200;
inline constexpr int ScaleTickSpacing = 5;
inline constexpr int ScalePositionAtStartA = 20;
inline constexpr int ScalePositionAtStartB = 50;

// Grid divisions: 20 across (a tenth of a volt each), 10 up.
inline constexpr int LevelDivisions = 20;
inline constexpr int DensityDivisions = 10;

// `SetNewBufSize`: frames per block, sampleRate / refreshRate (0 for a rate below 1).
int SetNewBufSize(int sampleRate, int refreshRate);

// Density of the full plot height, in 1/V, at a scale track-bar position (position × 0.1).
double ScaleAt(int position);

// «0,2/дел»: the density per division of `scale`, as the scale labels show it.
std::string ScaleCaption(double scale);

// «Скорость обновления (3 раза/с)», «… (5 раз/с)»: the title of the refresh-rate group.
std::string RefreshRateCaption(int rate);

// The plot area of a drawing surface. A surface smaller than its margins gets an empty plot at
// the top-left margin corner rather than a negative size.
struct PlotGeometry {
    int SurfaceWidth = 0;
    int SurfaceHeight = 0;
    int PlotLeft = MarginLeft;
    int PlotTop = MarginTop;
    int PlotWidth = 0;
    int PlotHeight = 0;

    static PlotGeometry FromSurface(int surfaceWidth, int surfaceHeight);
    // The same rectangle for the shared screen functions.
    PlotRect Plot() const;
    int Right() const { return PlotLeft + PlotWidth; }
    int Bottom() const { return PlotTop + PlotHeight; }
};

}  // namespace mirel::pv
