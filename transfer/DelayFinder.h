#pragma once
// The delay of channel B against channel A: the peak of their cross-correlation, computed by FFT
// over a stretch of both channels, and placed between the samples by band-limited interpolation of
// the correlation. The sign of the peak is the polarity.

#include "spectrum/RealFft.h"

#include <complex>
#include <cstdint>
#include <span>
#include <vector>

struct fftw_plan_s;

namespace mirel::transfer {

struct DelayResult {
    bool Valid = false;
    double Samples = 0;  // B lags A by this many samples (negative: B leads)
    double Seconds = 0;
    int Polarity = 1;        // +1, or −1 when B is A inverted
    double Correlation = 0;  // the peak's normalised correlation, −1 … 1
};

class DelayFinder {
public:
    DelayFinder() = default;
    ~DelayFinder();
    DelayFinder(const DelayFinder&) = delete;
    DelayFinder& operator=(const DelayFinder&) = delete;

    // Prepares for stretches of up to `length` samples (allocates and plans; nothing happens when
    // it is the length prepared).
    void Prepare(int length);
    int Length() const { return length_; }

    // Correlates a[n] with b[n + m] for lags |m| ≤ maxLag (and below half the stretch) and returns
    // the peak. `a` and `b` hold the same stretch of both channels, oldest first, at most Length().
    DelayResult Find(std::span<const std::int16_t> a, std::span<const std::int16_t> b, int maxLag, double sampleRate);

private:
    void Release();
    // d^order/dτ^order of M · r(τ), the correlation interpolated at τ.
    double Interpolated(double tau, int order) const;

    int length_ = 0;
    int fftLength_ = 0;  // twice the stretch: the correlation does not wrap
    spectrum::RealFft fftA_, fftB_;
    std::vector<std::complex<double>> cross_;
    std::complex<double>* inverseIn_ = nullptr;
    double* inverseOut_ = nullptr;
    fftw_plan_s* inverse_ = nullptr;
};

}  // namespace mirel::transfer
