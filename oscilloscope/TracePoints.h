#pragma once
// Mapping of the shown samples of a block to screen points of the drawing surface.

#include "common/ExportText.h"
#include "common/ScreenPoint.h"
#include "common/TraceSet.h"
#include "oscilloscope/OscBlock.h"
#include "oscilloscope/OscScales.h"
#include "oscilloscope/Synchronize.h"

#include <cstdint>
#include <span>
#include <vector>

namespace mirel::osc {

// One point of a trace, in pixels of the drawing surface.
using mirel::ScreenPoint;

// How one channel is shown.
struct ChannelScale {
    bool On = true;
    double Sens = 1.0;  // `SensA` / `SensB`
    double Shift = 0;   // `ShiftA` / `ShiftB`, pixels, positive moves the trace up
};

struct TraceScales {
    ChannelScale A;
    ChannelScale B{false, 1.0, 0};
    double ShiftX = 0;  // pixels, positive moves both traces right
    int ScreenPoints = 2;
};

// `ProcessData`: maps the `ScreenPoints` samples of each switched-on channel, starting at frame
// BlockLeadIn + its trigger offset, into `traceA` / `traceB`. A switched-off channel keeps its old
// points. Rules per point j (all conversions truncate toward zero):
//   x = PlotLeft + ShiftX + j × PlotWidth / (ScreenPoints − 1);
//   y = PlotTop + PlotHalfHeight − Shift − s × Sens × PlotHeight / 196608;
//   y is clipped to the plot's top and bottom edges; a point pushed left of the plot collapses
//   onto (PlotLeft − 1, middle), one pushed right of it onto (PlotLeft + PlotWidth, middle).
// On top of that every point is kept inside the drawing surface, which matters only for a surface
// smaller than its margins. No more points are written than either array holds.
void ProcessData(const BlockView& block, const TriggerOffsets& triggers, const PlotGeometry& geometry,
                 const TraceScales& scales, std::span<ScreenPoint> traceA, std::span<ScreenPoint> traceB);

// The shown samples as numbers, for saving: one row per trace point that lies inside the plot,
// with its time in seconds ("Время", the middle point of the screen at 0, points 1 / sampleRate
// apart, moved with the horizontal shift as the traces are) and, for each channel that is on, its
// sample in volts (full scale 1 V; the vertical shift only moves the picture).
DataTable ShownSamples(const BlockView& block, const TriggerOffsets& triggers, const PlotGeometry& geometry,
                       const TraceScales& scales, int sampleRate);

}  // namespace mirel::osc
