#pragma once
// What the transfer function measures and shows: transform length, window, averaging, smoothing,
// the band of the output and whether the found delay is taken out of the phase.

#include "spectrum/SpectrumView.h"

namespace mirel::transfer {

inline constexpr int ShortestFftLength = 4096;
inline constexpr int LongestFftLength = 65536;
// Averaging that never forgets: a running mean over every result since the last reset.
inline constexpr int InfiniteAveraging = 0;

struct TransferSettings {
    int FftLength = 16384;  // a power of two, ShortestFftLength … LongestFftLength
    spectrum::WindowKind Window = spectrum::WindowKind::Hann;
    int Averaging = 16;  // results in the exponential average: 1, 4, 16, 64, 256, or InfiniteAveraging
    int Smoothing = 0;   // b of a 1/b-octave smoothing: 0 (off), 48, 24, 12, 6 or 3
    double LowHz = 20;   // the band of the output
    double HighHz = 20000;
    bool CompensateDelay = false;  // multiply H by e^(+2πifτ) with the last delay found

    bool operator==(const TransferSettings&) const = default;
};

}  // namespace mirel::transfer
