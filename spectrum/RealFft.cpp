#include "spectrum/RealFft.h"

#include <fftw3.h>

#include <algorithm>
#include <new>

namespace mirel::spectrum {

RealFft::~RealFft()
{
    Release();
}

void RealFft::Release()
{
    if (plan_)
        fftw_destroy_plan(plan_);
    fftw_free(input_);
    fftw_free(output_);
    plan_ = nullptr;
    input_ = nullptr;
    output_ = nullptr;
    length_ = 0;
}

void RealFft::SetLength(int length)
{
    if (length == length_ && plan_)
        return;
    Release();
    if (length < 2)
        return;
    input_ = fftw_alloc_real(static_cast<std::size_t>(length));
    auto* output = fftw_alloc_complex(static_cast<std::size_t>(length / 2 + 1));
    output_ = reinterpret_cast<std::complex<double>*>(output);
    if (input_ && output)
        plan_ = fftw_plan_dft_r2c_1d(length, input_, output, FFTW_ESTIMATE | FFTW_DESTROY_INPUT);
    if (!plan_) {
        Release();
        throw std::bad_alloc();
    }
    length_ = length;
    std::fill_n(input_, length_, 0.0);
    std::fill_n(output_, length_ / 2 + 1, std::complex<double>{});
}

void RealFft::Transform(std::span<const std::int16_t> samples, std::span<const double> window)
{
    if (!plan_)
        return;
    const std::size_t n = std::min(samples.size(), static_cast<std::size_t>(length_));
    if (!window.empty() && window.size() >= n) {
        for (std::size_t m = 0; m < n; ++m)
            input_[m] = samples[m] * window[m];
    } else {
        for (std::size_t m = 0; m < n; ++m)
            input_[m] = samples[m];
    }
    std::fill(input_ + n, input_ + length_, 0.0);
    fftw_execute(plan_);
}

std::span<const std::complex<double>> RealFft::Bins() const
{
    if (!output_)
        return {};
    return {output_, static_cast<std::size_t>(length_ / 2 + 1)};
}

}  // namespace mirel::spectrum
