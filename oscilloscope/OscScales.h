#pragma once
// Scales of the oscilloscope: sensitivity and time-base tables with their captions, the number of
// samples on the screen and per capture block, the plot area inside the drawing surface, and the
// shift track-bar ranges that follow a resize.

#include "common/PlotRect.h"

#include <array>
#include <string>

namespace mirel::osc {

// Sensitivity factors, indexed by 11 − position of the up-down spinner (a higher position is a
// coarser scale). A sample s stands for s / 32768 V; the screen is 6 / Sens volts high.
inline constexpr std::array<double, 12> SensitivityTable = {0.5, 1, 2.5, 5, 10, 25, 50, 100, 250, 500, 1000, 2500};
inline constexpr int SensitivityPositionMax = 11;
inline constexpr int SensitivityPositionAtStart = 10;

// A quarter of the screen time in microseconds, indexed by the time-base spinner position. The
// spinner runs 0..12 and wraps, so every position has an entry.
inline constexpr std::array<int, 13> TimeBaseTable = {8,    16,   40,   80,    160,   400,  800,
                                                      1600, 4000, 8000, 16000, 40000, 80000};
inline constexpr int TimeBasePositionMax = 12;
inline constexpr int TimeBasePositionAtStart = 6;

// Frames before the trigger window that are never shown, and the frames the trigger is searched in.
inline constexpr int BlockLeadIn = 200;
inline constexpr int TriggerWindow = 100;

// Margins of the drawing surface around the plot area.
inline constexpr int MarginLeft = 40;
inline constexpr int MarginTop = 20;
inline constexpr int MarginRight = 40;
inline constexpr int MarginBottom = 20;

// A spinner position brought into 0..max the way a wrapping spinner steps (max + 1 → 0, −1 → max).
int WrapPosition(int position, int max);

// Sensitivity factor and time base (µs) of a spinner position; out-of-range positions wrap.
double SensitivityAt(int position);
int TimeBaseAt(int position);

// 12 volt divisions while the surface is lower than 325 pixels, else 24.
int VoltDivisions(int surfaceHeight);
// 16 time divisions while the surface is narrower than 750 pixels, else 32.
int TimeDivisions(int surfaceWidth);

// Prefix exponent for a per-division value v: 0 if 10·v ≥ 1, −3 if ≥ 0.001, −6 if ≥ 10⁻⁶, else −9.
int ScaleExponent(double v);

// «0.5 В/дел», «50 мВ/дел», …: volts per division of a channel at sensitivity `sens`.
std::string SensitivityCaption(double sens, int surfaceHeight);
// «0.2 мс/дел», «50 мкс/дел», …: seconds per division at `timeBase` microseconds.
std::string TimeBaseCaption(double timeBase, int surfaceWidth);

// Samples per channel on the screen: trunc(sampleRate × 4 × timeBase µs), at least 2.
int ScreenPointsFor(int sampleRate, double timeBase);
// Frames per capture block: the shown points, the lead-in and the trigger window.
int BlockFramesFor(int screenPoints);

// `SetNewBufSize`: both counts at once.
struct BufferSizes {
    int ScreenPoints;
    int BlockFrames;
};
BufferSizes SetNewBufSize(int sampleRate, double timeBase);

// The plot area of a drawing surface (pixels of the surface). The width and height may come out
// negative on a surface smaller than the margins; the mapping of points clamps into the surface.
struct PlotGeometry {
    int SurfaceWidth = 0;
    int SurfaceHeight = 0;
    double PlotLeft = MarginLeft + 2;
    double PlotTop = MarginTop + 2;
    double PlotWidth = 0;
    double PlotHeight = 0;
    double PlotHalfWidth = 0;
    double PlotHalfHeight = 0;

    static PlotGeometry FromSurface(int surfaceWidth, int surfaceHeight);
    PlotRect Plot() const { return {PlotLeft, PlotTop, PlotWidth, PlotHeight}; }
    int TimeDivisions() const { return osc::TimeDivisions(SurfaceWidth); }
    int VoltDivisions() const { return osc::VoltDivisions(SurfaceHeight); }
};

// Range, tick spacing and new position of a shift track bar after the plot was resized. The track
// bar itself clamps the position into the range and ignores a range that would invert it.
struct ShiftBarLayout {
    int Minimum;
    int Maximum;
    int TickSpacing;
    int Position;
};
// Horizontal shift: ±half the plot width, ticks every tenth, the shift scaled with the width.
ShiftBarLayout XShiftBarLayout(double plotWidth, double prevPlotWidth, double shiftX);
// Vertical shift of a channel: ±a third of the plot height, ticks every fifteenth of the height.
ShiftBarLayout YShiftBarLayout(double plotHeight, double prevPlotHeight, double shift);

}  // namespace mirel::osc
