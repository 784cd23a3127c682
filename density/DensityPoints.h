#pragma once
// The density computation of one block: the level histogram of each channel and its mapping to
// one screen point per level, normalised to the largest bin or as a density against a scale.

#include "common/ExportText.h"
#include "common/ScreenPoint.h"
#include "density/DensityScales.h"

#include <array>
#include <cstdint>
#include <span>

namespace mirel::pv {

using mirel::ScreenPoint;

// Counts of one channel per 8-bit level.
using Histogram = std::array<std::uint32_t, BinCount>;

struct DisplayMode {
    bool Normalised = true;                          // `rbNM`: each curve divided by its own largest bin
    double ScaleA = ScaleAt(ScalePositionAtStartA);  // full-height density, 1/V
    double ScaleB = ScaleAt(ScalePositionAtStartB);
};

// Counts the levels of one block of interleaved unsigned 8-bit samples (channel A at even bytes)
// into `histA` and `histB`, which are cleared first: only this block counts.
void CountLevels(std::span<const std::uint8_t> block, Histogram& histA, Histogram& histB);

// `D`: trunc(2 × N / 256) for a channel of N samples, the count of a bin at a density of 1/V.
// 0 when the channel holds fewer than 128 samples.
int DensityDivisor(const Histogram& hist);

// x of bin i: trunc(PlotLeft + i × PlotWidth / 256), the same for both channels.
int BinX(const PlotGeometry& plot, int bin);

// Points of one channel, at most as many as `points` holds (256 for a whole curve).
// Normalised: the largest bin on the top edge, empty bins on the bottom edge.
void MapNormalised(const Histogram& hist, const PlotGeometry& plot, std::span<ScreenPoint> points);
// Density: the bottom edge is 0, the top edge `scale` (1/V); higher densities are cut flat at the
// top edge. Without a divisor (D = 0) or a positive scale every point lies on the bottom edge.
void MapDensity(const Histogram& hist, double scale, const PlotGeometry& plot, std::span<ScreenPoint> points);

// `ProcessData`: both histograms of `block` and both curves in the chosen mode.
void ProcessData(std::span<const std::uint8_t> block, const PlotGeometry& plot, const DisplayMode& mode,
                 Histogram& histA, Histogram& histB, std::span<ScreenPoint> pointsA, std::span<ScreenPoint> pointsB);

// The shown curves as numbers, for saving: the 256 levels in volts ("Уровень", level 128 at 0,
// 1/128 V apart) and, for each shown channel, what its curve draws: normalised, each count over the
// largest one (0 to 1, no unit); as a density, each count over the divisor D, in 1/V (0 without D).
DataTable ShownLevels(const Histogram& histA, const Histogram& histB, bool normalised, bool showA, bool showB);

}  // namespace mirel::pv
