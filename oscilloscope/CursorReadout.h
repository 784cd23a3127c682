#pragma once
// The oscilloscope's value under the cursor: the trace point a pixel column shows, its time and
// each channel's sample there, and the lines of the readout.

#include "common/PlotText.h"
#include "oscilloscope/OscBlock.h"
#include "oscilloscope/OscScales.h"
#include "oscilloscope/Synchronize.h"
#include "oscilloscope/TracePoints.h"

#include <string>

namespace mirel::osc {

struct CursorValues {
    bool Inside = false;  // the column lies on the traces
    int Point = 0;        // the trace point nearest the column
    double Time = 0;      // seconds, as the saved samples count it (the screen's middle at 0)
    double A = 0;         // the point's samples, volts (full scale 1 V)
    double B = 0;
};

// The trace point whose column is nearest `x` (the points' columns as ProcessData places them,
// the horizontal shift included) and the samples it shows.
CursorValues ValuesAtColumn(const BlockView& block, const TriggerOffsets& triggers, const PlotGeometry& geometry,
                            const TraceScales& scales, int sampleRate, int x);

// "t = 1.25 мс": in the readouts' format, three significant digits and the prefix of the size.
std::string TimeText(double seconds);
// "A: 512 мВ": a channel's sample in volts.
std::string SampleText(const char* channel, double volts);

}  // namespace mirel::osc
