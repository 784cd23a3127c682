#include "density/DensityReadings.h"

#include <cmath>

namespace mirel::pv {

namespace {

double LevelVolts(int level)
{
    return static_cast<double>(level - ZeroLevel) / ZeroLevel;
}

}  // namespace

LevelReadings MeasureLevels(const Histogram& hist)
{
    LevelReadings r;
    double sum = 0;
    for (int i = 0; i < BinCount; ++i) {
        r.Samples += hist[static_cast<std::size_t>(i)];
        sum += hist[static_cast<std::size_t>(i)] * LevelVolts(i);
    }
    if (r.Samples == 0)
        return r;
    const double n = static_cast<double>(r.Samples);
    r.Mean = sum / n;
    // About the mean, so that a large offset costs no precision.
    double squares = 0;
    for (int i = 0; i < BinCount; ++i) {
        const double d = LevelVolts(i) - r.Mean;
        squares += hist[static_cast<std::size_t>(i)] * d * d;
    }
    r.StdDev = std::sqrt(squares / n);
    r.ClippedShare = (static_cast<double>(hist.front()) + hist.back()) / n;
    return r;
}

std::vector<ReadingText> ReadingLines(const LevelReadings& readings)
{
    return {
        {"Среднее", ReadingToStr(readings.Mean, "В")},
        {"СКО", ReadingToStr(readings.StdDev, "В")},
        {"Ограничено", ReadingToStr(readings.ClippedShare * 100, "%", false)},
    };
}

MeasuredValues ToMeasuredValues(const LevelReadings& r)
{
    MeasuredValues v;
    if (r.Samples > 0) {
        v.MeanV = r.Mean;
        v.StdV = r.StdDev;
        v.ClippedShare = r.ClippedShare;
    }
    return v;
}

}  // namespace mirel::pv
