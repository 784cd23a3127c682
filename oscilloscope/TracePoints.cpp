#include "oscilloscope/TracePoints.h"

#include <algorithm>
#include <cmath>

namespace mirel::osc {

namespace {

// Converts an already truncated coordinate into the surface's pixel range. The clamp also keeps
// the conversion defined for coordinates no int32 can hold; NaN goes to 0.
std::int32_t IntoSurface(double v, double last)
{
    if (!(v > 0))
        return 0;
    return static_cast<std::int32_t>(v < last ? v : last);
}

// std::trunc without the library call: below 2^52 through a 64-bit integer, above it the value is
// whole already (and NaN stays NaN). Only the sign of a zero may differ, which no caller sees.
double Trunc(double v)
{
    return std::fabs(v) < 0x1p52 ? static_cast<double>(static_cast<std::int64_t>(v)) : v;
}

void MapChannel(const BlockView& block, bool channelB, int trigger, const PlotGeometry& g, const ChannelScale& ch,
                double shiftX, int screenPoints, std::span<ScreenPoint> trace)
{
    const double step = screenPoints > 1 ? g.PlotWidth / (screenPoints - 1) : 0.0;
    const double k = g.PlotHalfHeight * (1.0 / 65536) * 2 / 3;
    const double top = std::trunc(g.PlotTop);
    const double bottom = std::trunc(g.PlotTop + g.PlotHeight);
    const double middle = std::trunc(g.PlotTop + g.PlotHalfHeight);
    const double leftOut = std::trunc(g.PlotLeft - 1);
    const double rightEdge = std::trunc(g.PlotLeft + g.PlotWidth);

    const double lowest = g.PlotTop + g.PlotHeight;
    const double rightmost = g.PlotLeft + g.PlotWidth;
    const double upper = g.PlotHalfHeight - ch.Shift;
    const double lastX = std::max(g.SurfaceWidth - 1, 0);
    const double lastY = std::max(g.SurfaceHeight - 1, 0);

    const int count = std::min(screenPoints, static_cast<int>(trace.size()));
    const int first = BlockLeadIn + trigger;
    for (int j = 0; j < count; ++j) {
        const int sample = channelB ? block.B(first + j) : block.A(first + j);
        double x = Trunc(step * j + shiftX + g.PlotLeft);
        double y = Trunc(upper - k * sample * ch.Sens + g.PlotTop);
        if (y > lowest)
            y = bottom;
        if (y < g.PlotTop)
            y = top;
        if (x < g.PlotLeft) {
            x = leftOut;
            y = middle;
        }
        if (x > rightmost) {
            x = rightEdge;
            y = middle;
        }
        trace[static_cast<size_t>(j)] = {IntoSurface(x, lastX), IntoSurface(y, lastY)};
    }
}

}  // namespace

void ProcessData(const BlockView& block, const TriggerOffsets& triggers, const PlotGeometry& geometry,
                 const TraceScales& scales, std::span<ScreenPoint> traceA, std::span<ScreenPoint> traceB)
{
    if (scales.A.On)
        MapChannel(block, false, triggers.TriggerA, geometry, scales.A, scales.ShiftX, scales.ScreenPoints, traceA);
    if (scales.B.On)
        MapChannel(block, true, triggers.TriggerB, geometry, scales.B, scales.ShiftX, scales.ScreenPoints, traceB);
}

DataTable ShownSamples(const BlockView& block, const TriggerOffsets& triggers, const PlotGeometry& g,
                       const TraceScales& scales, int sampleRate)
{
    DataColumn time{"Время", "с", {}};
    DataColumn a{"Канал A", "В", {}};
    DataColumn b{"Канал B", "В", {}};
    const int points = scales.ScreenPoints;
    if (points > 1 && sampleRate > 0 && block.Frames() > 0) {
        const double step = g.PlotWidth / (points - 1);
        const double shiftPoints = g.PlotWidth > 0 ? scales.ShiftX / step : 0.0;
        const int firstA = BlockLeadIn + triggers.TriggerA;
        const int firstB = BlockLeadIn + triggers.TriggerB;
        for (int j = 0; j < points; ++j) {
            // The same test that collapses a point pushed out of the plot onto its edge.
            const double x = std::trunc(step * j + scales.ShiftX + g.PlotLeft);
            if (x < g.PlotLeft || x > g.PlotLeft + g.PlotWidth)
                continue;
            time.Values.push_back((j - (points - 1) / 2.0 + shiftPoints) / sampleRate);
            a.Values.push_back(block.A(firstA + j) / 32768.0);
            b.Values.push_back(block.B(firstB + j) / 32768.0);
        }
    }
    DataTable table{std::move(time)};
    if (scales.A.On)
        table.push_back(std::move(a));
    if (scales.B.On)
        table.push_back(std::move(b));
    return table;
}

}  // namespace mirel::osc
