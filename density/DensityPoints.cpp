#include "density/DensityPoints.h"

#include "common/PlotText.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>

namespace mirel::pv {

namespace {

std::size_t PointCount(std::span<ScreenPoint> points)
{
    return std::min(points.size(), static_cast<std::size_t>(BinCount));
}

void MapBottom(const PlotGeometry& plot, std::span<ScreenPoint> points)
{
    for (std::size_t i = 0; i < PointCount(points); ++i)
        points[i] = {BinX(plot, static_cast<int>(i)), plot.Bottom()};
}

}  // namespace

void CountLevels(std::span<const std::uint8_t> block, Histogram& histA, Histogram& histB)
{
    histA.fill(0);
    histB.fill(0);
    const std::uint8_t* bytes = block.data();
    const std::size_t size = block.size();
    std::size_t k = 0;
    for (; k + 1 < size; k += 2) {
        ++histA[bytes[k]];
        ++histB[bytes[k + 1]];
    }
    if (k < size)
        ++histA[bytes[k]];
}

int DensityDivisor(const Histogram& hist)
{
    std::uint64_t samples = 0;
    for (std::uint32_t count : hist)
        samples += count;
    return static_cast<int>(std::min<std::uint64_t>(2 * samples / BinCount, INT_MAX));
}

int BinX(const PlotGeometry& plot, int bin)
{
    return Trunc(plot.PlotLeft + static_cast<double>(bin) * plot.PlotWidth / BinCount);
}

void MapNormalised(const Histogram& hist, const PlotGeometry& plot, std::span<ScreenPoint> points)
{
    const double max = std::max<std::uint32_t>(*std::max_element(hist.begin(), hist.end()), 1);
    for (std::size_t i = 0; i < PointCount(points); ++i) {
        const double y = plot.PlotTop + (1 - hist[i] / max) * plot.PlotHeight;
        points[i] = {BinX(plot, static_cast<int>(i)), Trunc(y)};
    }
}

void MapDensity(const Histogram& hist, double scale, const PlotGeometry& plot, std::span<ScreenPoint> points)
{
    const int divisor = DensityDivisor(hist);
    if (divisor == 0 || !(scale > 0) || !std::isfinite(scale)) {
        MapBottom(plot, points);
        return;
    }
    const double k = (1 / scale) / divisor;
    for (std::size_t i = 0; i < PointCount(points); ++i) {
        // Clipped before the conversion, which also keeps a tall peak within the integer range.
        const double y =
            std::max(plot.PlotTop + (1 - hist[i] * k) * plot.PlotHeight, static_cast<double>(plot.PlotTop));
        points[i] = {BinX(plot, static_cast<int>(i)), Trunc(y)};
    }
}

void ProcessData(std::span<const std::uint8_t> block, const PlotGeometry& plot, const DisplayMode& mode,
                 Histogram& histA, Histogram& histB, std::span<ScreenPoint> pointsA, std::span<ScreenPoint> pointsB)
{
    CountLevels(block, histA, histB);
    if (mode.Normalised) {
        MapNormalised(histA, plot, pointsA);
        MapNormalised(histB, plot, pointsB);
    } else {
        MapDensity(histA, mode.ScaleA, plot, pointsA);
        MapDensity(histB, mode.ScaleB, plot, pointsB);
    }
}

DataTable ShownLevels(const Histogram& histA, const Histogram& histB, bool normalised, bool showA, bool showB)
{
    DataTable table{{"Уровень", "В", {}}};
    for (int i = 0; i < BinCount; ++i)
        table[0].Values.push_back(static_cast<double>(i - ZeroLevel) / ZeroLevel);
    auto channel = [&](const char* name, const Histogram& hist) {
        DataColumn column{name, normalised ? "" : "1/В", {}};
        const double max = std::max<std::uint32_t>(*std::max_element(hist.begin(), hist.end()), 1);
        const int divisor = DensityDivisor(hist);
        for (const std::uint32_t count : hist)
            column.Values.push_back(normalised    ? count / max
                                    : divisor > 0 ? static_cast<double>(count) / divisor
                                                  : 0.0);
        table.push_back(std::move(column));
    };
    if (showA)
        channel("Канал A", histA);
    if (showB)
        channel("Канал B", histB);
    return table;
}

}  // namespace mirel::pv
