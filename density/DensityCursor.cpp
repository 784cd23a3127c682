#include "density/DensityCursor.h"

#include "common/ValueFormat.h"

#include <algorithm>
#include <cmath>

namespace mirel::pv {

namespace {

// What a channel's curve draws at `bin`, as the saved numbers give it.
double CurveValue(const Histogram& hist, int bin, bool normalised)
{
    const double count = hist[static_cast<std::size_t>(bin)];
    if (normalised)
        return count / std::max<std::uint32_t>(*std::max_element(hist.begin(), hist.end()), 1);
    const int divisor = DensityDivisor(hist);
    return divisor > 0 ? count / divisor : 0.0;
}

// A readout value without a trailing blank (a value without a unit).
std::string Tidy(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

}  // namespace

CursorLevel LevelAtColumn(const Histogram& histA, const Histogram& histB, bool normalised, const PlotGeometry& plot,
                          int x)
{
    if (plot.PlotWidth <= 0 || x < plot.PlotLeft || x > plot.Right())
        return {};
    const long bin = std::lround(static_cast<double>(x - plot.PlotLeft) * BinCount / plot.PlotWidth);
    CursorLevel v;
    v.Inside = true;
    v.Bin = static_cast<int>(std::min<long>(bin, BinCount - 1));
    v.Level = static_cast<double>(v.Bin - ZeroLevel) / ZeroLevel;
    v.A = CurveValue(histA, v.Bin, normalised);
    v.B = CurveValue(histB, v.Bin, normalised);
    return v;
}

std::string LevelText(double volts)
{
    return "U = " + Tidy(ReadingToStr(volts, "В"));
}

std::string CurveValueText(const char* channel, double value, bool normalised)
{
    return std::string(channel) + ": " + Tidy(ReadingToStr(value, normalised ? "" : "1/В", false));
}

}  // namespace mirel::pv
