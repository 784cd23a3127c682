#pragma once
// Signals for the transfer function's tests, made here and not by the program: noise, an exact
// fractional delay of a periodic noise, a second-order low-pass, and the feed of interleaved 16-bit
// frames in blocks of random sizes, as a sound card delivers them.

#include "transfer/TransferAnalyser.h"

#include <complex>
#include <cstdint>
#include <vector>

namespace mirel::transfer::test {

inline constexpr int Rate = 48000;
inline constexpr double FullScale = 32767;

// Gaussian white noise of the given RMS (counts).
std::vector<double> WhiteNoise(std::size_t count, double rms, unsigned seed);

// A noise of period `period` with a flat spectrum, and the same noise delayed by `delay` samples
// (any fraction), made in the frequency domain; `repeat` periods of each.
struct NoisePair {
    std::vector<double> A, B;
};
NoisePair PeriodicNoisePair(int period, int repeat, double delay, double rms, unsigned seed);

// A second-order low-pass made by the bilinear transform at Rate: its coefficients, its output and
// its exact response.
struct LowPass {
    LowPass(double cornerHz, double q);
    std::vector<double> Filter(const std::vector<double>& in) const;
    std::complex<double> Response(double hz) const;
    double B0, B1, B2, A1, A2;
};

// Interleaved frames of a and b rounded to 16 bits.
std::vector<std::int16_t> Stereo(const std::vector<double>& a, const std::vector<double>& b);

// Feeds `frames` in blocks of 1 … maxBlock frames; returns the results made.
int FeedInPieces(TransferAnalyser& analyser, const std::vector<std::int16_t>& frames, unsigned seed,
                 int maxBlock = 5000);

}  // namespace mirel::transfer::test
