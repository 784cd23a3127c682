#pragma once
// Automatic measurements of one channel's spectrum: the strongest component's frequency and
// amplitude, its harmonic distortion and its signal-to-noise ratio, read from the bins the display
// has already computed, and their text as a readout shows it.
//
// The block is rectangular (no window), so a real sine x[n] = a·e^(iωn) + ā·e^(−iωn) gives the
// bins X(k) = a·D(ω − θk) + ā·D(−ω − θk), θk = 2πk/N, D(φ) = Σn e^(iφn) = e^(iφ(N−1)/2)·sin(Nφ/2) /
// sin(φ/2). Put over one denominator, the term and its negative-frequency image make
//     2·X(k)·(cos θk − cos ω) = P·e^(iθk) − Q,   P = 2·Re c, Q = 2·Re(c·e^(−iω)), c = a·(1 − e^(iωN)),
// with P and Q real. Three neighbouring bins give six real equations in cos ω, P and Q; their
// least-squares solution is exact for a pure sine at any frequency, near 0 Hz and half the sample
// rate as well, on a bin or between two. With the frequency known, each component's complex
// amplitude a follows linearly from the bins around it through D, so that the amplitude holds no
// scalloping loss; the fundamental and its harmonics 2…10 below half the sample rate are fitted
// together, so that the wide leakage of each one is accounted for in the others' bins, and strong
// harmonics are taken out of the fundamental's bins before its frequency is solved once more.

#include "common/ExportText.h"
#include "common/ValueFormat.h"

#include <complex>
#include <limits>
#include <span>
#include <vector>

namespace mirel::spectrum {

struct SpectrumReadings {
    static constexpr double None = std::numeric_limits<double>::quiet_NaN();

    double PeakFrequency = None;  // Hz, of the largest bin's component, between bins
    double PeakAmplitude = None;  // V, its peak, as the amplitude scale reads a sine on a bin
    double ThdPercent = None;     // harmonics 2…10 below half the rate against the fundamental
    double SnrDb = None;          // the fundamental against all that is not DC, it or a harmonic
};

// Measures the transform `bins` (k = 0 … N/2 of an N-point block of 16-bit samples, unnormalised,
// as RealFft gives them) taken at `sampleRate`. Allocates nothing. Silence, or fewer than five
// bins, reads None throughout; THD needs a harmonic below half the rate and a fundamental at least
// two bins up.
//
// SNR: the fitted components (the fundamental and its harmonics) are subtracted from every bin with
// their whole leakage, using the closed form above, so that none of it counts as noise; the bins
// each component was fitted on and bin 0 (DC) are left out, and the mean of the remaining bins
// stands for every bin. A component below a quarter of a count is only left out: the leakage
// outside its own bins lies far below the 16-bit quantisation noise. A clean 16-bit sine thus reads
// its quantisation noise: 92 dB at 0.5 V, 6 dB less for each halving of the level.
SpectrumReadings MeasureSpectrum(std::span<const std::complex<double>> bins, int sampleRate);

// The readout of `readings` in the spectrum kind shown: the peak as «Амплитуда» in В, or as
// «Мощность» in Вт (the square of the peak, as the power spectrum's scale reads it); the frequency
// to 0.01 Hz, the others to three significant digits, with the engineering prefix (ReadingToStr).
std::vector<ReadingText> ReadingLines(const SpectrumReadings& readings, bool amplitudeMode);

// The readings as a row of measured values: the peak's amplitude in V whatever kind is shown.
MeasuredValues ToMeasuredValues(const SpectrumReadings& readings);

}  // namespace mirel::spectrum
