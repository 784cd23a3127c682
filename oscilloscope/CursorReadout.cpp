#include "oscilloscope/CursorReadout.h"

#include "common/ValueFormat.h"

#include <cmath>

namespace mirel::osc {

CursorValues ValuesAtColumn(const BlockView& block, const TriggerOffsets& triggers, const PlotGeometry& g,
                            const TraceScales& scales, int sampleRate, int x)
{
    const int points = scales.ScreenPoints;
    if (points < 2 || sampleRate <= 0 || g.PlotWidth <= 0 || x < g.PlotLeft || x > g.PlotLeft + g.PlotWidth)
        return {};
    const double step = g.PlotWidth / (points - 1);
    // Point j is drawn at column trunc(PlotLeft + ShiftX + j × step).
    const long nearest = std::lround((x - g.PlotLeft - scales.ShiftX) / step);
    if (nearest < 0 || nearest >= points)
        return {};
    const int j = static_cast<int>(nearest);
    CursorValues v;
    v.Inside = true;
    v.Point = j;
    v.Time = (j - (points - 1) / 2.0 + scales.ShiftX / step) / sampleRate;
    v.A = block.A(BlockLeadIn + triggers.TriggerA + j) / 32768.0;
    v.B = block.B(BlockLeadIn + triggers.TriggerB + j) / 32768.0;
    return v;
}

std::string TimeText(double seconds)
{
    return "t = " + ReadingToStr(seconds, "с");
}

std::string SampleText(const char* channel, double volts)
{
    return std::string(channel) + ": " + ReadingToStr(volts, "В");
}

}  // namespace mirel::osc
