#pragma once
// The spectrum analyser's value under the cursor: the bin a pixel column shows, its frequency and
// each channel's level in it in the kind shown, and the lines of the readout.

#include "spectrum/SpectrumBins.h"

#include <complex>
#include <span>
#include <string>

namespace mirel::spectrum {

struct CursorBin {
    bool Inside = false;   // the column lies over the shown bins
    int Bin = 0;           // the shown bin nearest the column
    double Frequency = 0;  // Hz
    double A = 0;          // each channel's level: volts of a sine's peak (amplitude) or watts (power)
    double B = 0;
};

// The shown bin of `range` nearest column `x` (as ComputeBinPoints places the bins), or, where
// several bins share the column, the strongest of them in `a` (`leadA`) or `b`; and the levels of
// the transforms `a` and `b` of `fftLength` points in it.
CursorBin BinAtColumn(std::span<const std::complex<double>> a, std::span<const std::complex<double>> b,
                      const BinRange& range, const PlotGeometry& plot, int fftLength, int sampleRate,
                      bool amplitudeMode, bool leadA, int x);

// "f = 1464 Гц", "f = 12.3 кГц".
std::string FrequencyText(double hertz);
// "A: 353 мВ" (amplitude) or "A: 125 мВт" (power).
std::string LevelText(const char* channel, double level, bool amplitudeMode);

}  // namespace mirel::spectrum
