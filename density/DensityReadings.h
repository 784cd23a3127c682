#pragma once
// The density display's automatic measurements of one channel, from the level histogram it
// already holds: the mean and standard deviation of the level and the share of clipped samples.

#include "common/ExportText.h"
#include "common/ValueFormat.h"
#include "density/DensityPoints.h"

#include <cstdint>
#include <vector>

namespace mirel::pv {

struct LevelReadings {
    std::uint64_t Samples = 0;
    double Mean = 0;          // V, level 128 at 0 and levels 1/128 V apart, as the level axis reads
    double StdDev = 0;        // V, of all the samples (divided by their count, not one less)
    double ClippedShare = 0;  // 0..1: samples at level 0 or 255, the ends of the converter's range
};

// All zero for an empty histogram. No allocation.
LevelReadings MeasureLevels(const Histogram& hist);

// The readout of one channel: «Среднее», «СКО» in В/мВ, «Ограничено» in %.
std::vector<ReadingText> ReadingLines(const LevelReadings& readings);

// The readings as a row of measured values (the clipped share as a fraction); none of an empty
// histogram.
MeasuredValues ToMeasuredValues(const LevelReadings& readings);

}  // namespace mirel::pv
