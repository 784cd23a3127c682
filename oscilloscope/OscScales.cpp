#include "oscilloscope/OscScales.h"

#include "common/ValueFormat.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace mirel::osc {

namespace {

// trunc() into an int, saturating instead of overflowing for values no track bar can hold.
int TruncToInt(double v)
{
    if (std::isnan(v))
        return 0;
    constexpr double lo = std::numeric_limits<int>::min();
    constexpr double hi = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(std::trunc(v), lo, hi));
}

}  // namespace

int WrapPosition(int position, int max)
{
    const int count = max + 1;
    if (count <= 0)
        return 0;
    const int r = position % count;
    return r < 0 ? r + count : r;
}

double SensitivityAt(int position)
{
    return SensitivityTable[static_cast<size_t>(SensitivityPositionMax -
                                                WrapPosition(position, SensitivityPositionMax))];
}

int TimeBaseAt(int position)
{
    return TimeBaseTable[static_cast<size_t>(WrapPosition(position, TimeBasePositionMax))];
}

int VoltDivisions(int surfaceHeight)
{
    return surfaceHeight < 325 ? 12 : 24;
}

int TimeDivisions(int surfaceWidth)
{
    return surfaceWidth < 750 ? 16 : 32;
}

int ScaleExponent(double v)
{
    if (v * 10 >= 1)
        return 0;
    if (v * 10 >= 0.001)
        return -3;
    if (v * 10 >= 0.000001)
        return -6;
    return -9;
}

std::string SensitivityCaption(double sens, int surfaceHeight)
{
    const double k = surfaceHeight >= 325 ? 2 : 1;
    const double v = 1 / sens / k * 0.5;
    return ValueToStr(ScaleExponent(v), v) + "В/дел";
}

std::string TimeBaseCaption(double timeBase, int surfaceWidth)
{
    const double k = surfaceWidth < 750 ? 2 : 1;
    const double v = timeBase * 0.001 * 0.001 * 0.125 * k;
    return ValueToStr(ScaleExponent(v), v) + "с/дел";
}

int ScreenPointsFor(int sampleRate, double timeBase)
{
    const int points = TruncToInt(sampleRate * 4.0 * timeBase * 0.000001);
    return std::max(points, 2);
}

int BlockFramesFor(int screenPoints)
{
    return screenPoints + BlockLeadIn + TriggerWindow;
}

BufferSizes SetNewBufSize(int sampleRate, double timeBase)
{
    const int points = ScreenPointsFor(sampleRate, timeBase);
    return {points, BlockFramesFor(points)};
}

PlotGeometry PlotGeometry::FromSurface(int surfaceWidth, int surfaceHeight)
{
    PlotGeometry g;
    g.SurfaceWidth = surfaceWidth;
    g.SurfaceHeight = surfaceHeight;
    g.PlotLeft = MarginLeft + 2;
    g.PlotTop = MarginTop + 2;
    g.PlotWidth = surfaceWidth - MarginLeft - MarginRight - 4;
    g.PlotHeight = surfaceHeight - MarginTop - MarginBottom - 4;
    g.PlotHalfWidth = g.PlotWidth / 2;
    g.PlotHalfHeight = g.PlotHeight / 2;
    return g;
}

ShiftBarLayout XShiftBarLayout(double plotWidth, double prevPlotWidth, double shiftX)
{
    // Before any plot size is known the shift keeps its value.
    const double position = prevPlotWidth != 0 ? shiftX * plotWidth / prevPlotWidth : shiftX;
    return {TruncToInt(-plotWidth / 2), TruncToInt(plotWidth / 2), TruncToInt(plotWidth * 0.1), TruncToInt(position)};
}

ShiftBarLayout YShiftBarLayout(double plotHeight, double prevPlotHeight, double shift)
{
    const double position = prevPlotHeight != 0 ? shift * plotHeight / prevPlotHeight : shift;
    return {TruncToInt(-plotHeight / 3), TruncToInt(plotHeight / 3), TruncToInt(plotHeight * 0.6666666666666666 * 0.1),
            TruncToInt(position)};
}

}  // namespace mirel::osc
