#pragma once
// Forward real-to-complex transform of one length through FFTW (double precision). The plan and
// its arrays are made when the length changes, never per transform, so that a transform itself
// allocates nothing.

#include <complex>
#include <cstdint>
#include <span>

struct fftw_plan_s;

namespace mirel::spectrum {

class RealFft {
public:
    RealFft() = default;
    ~RealFft();
    RealFft(const RealFft&) = delete;
    RealFft& operator=(const RealFft&) = delete;

    // Prepares transforms of `length` points (a power of two); nothing happens when it is the
    // length already prepared.
    void SetLength(int length);
    int Length() const { return length_; }
    bool Ready() const { return plan_ != nullptr; }

    // Transforms the first Length() samples (missing ones count as 0), each multiplied by its
    // coefficient of `window` when one is given (it then holds Length() of them; none is a
    // rectangular block, the samples as they are). Without normalisation: bin k is
    // Σ w[n] x[n] e^(−2πikn/N), k = 0 … N/2.
    void Transform(std::span<const std::int16_t> samples, std::span<const double> window = {});
    std::span<const std::complex<double>> Bins() const;

private:
    void Release();

    int length_ = 0;
    double* input_ = nullptr;
    std::complex<double>* output_ = nullptr;
    fftw_plan_s* plan_ = nullptr;
};

}  // namespace mirel::spectrum
