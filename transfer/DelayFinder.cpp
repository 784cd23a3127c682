#include "transfer/DelayFinder.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <new>
#include <numbers>

namespace mirel::transfer {

DelayFinder::~DelayFinder()
{
    Release();
}

void DelayFinder::Release()
{
    if (inverse_)
        fftw_destroy_plan(inverse_);
    fftw_free(inverseIn_);
    fftw_free(inverseOut_);
    inverse_ = nullptr;
    inverseIn_ = nullptr;
    inverseOut_ = nullptr;
    length_ = 0;
    fftLength_ = 0;
}

void DelayFinder::Prepare(int length)
{
    if (length == length_ && inverse_)
        return;
    Release();
    if (length < 2)
        return;
    const int m = 2 * length;
    fftA_.SetLength(m);
    fftB_.SetLength(m);
    cross_.assign(static_cast<std::size_t>(m / 2 + 1), {});
    inverseIn_ = reinterpret_cast<std::complex<double>*>(fftw_alloc_complex(static_cast<std::size_t>(m / 2 + 1)));
    inverseOut_ = fftw_alloc_real(static_cast<std::size_t>(m));
    if (inverseIn_ && inverseOut_)
        inverse_ = fftw_plan_dft_c2r_1d(m, reinterpret_cast<fftw_complex*>(inverseIn_), inverseOut_,
                                        FFTW_ESTIMATE | FFTW_DESTROY_INPUT);
    if (!inverse_) {
        Release();
        throw std::bad_alloc();
    }
    length_ = length;
    fftLength_ = m;
}

double DelayFinder::Interpolated(double tau, int order) const
{
    // Σ c_k Re(G_k e^(iω_k τ)) (iω_k)^order with c_k = 2 inside the band and 1 at 0 and at M/2: the
    // trigonometric interpolation of the correlation, exact for a band-limited correlation. The
    // rotation is renewed every few thousand bins so that its rounding does not grow.
    const int half = fftLength_ / 2;
    const double step = 2 * std::numbers::pi / fftLength_;
    double sum = 0;
    std::complex<double> turn = std::polar(1.0, step * tau), z = 1;
    for (int k = 0; k <= half; ++k) {
        if (k % 4096 == 0)
            z = std::polar(1.0, step * tau * k);
        const double c = k == 0 || k == half ? 1 : 2;
        const double w = step * k;
        const std::complex<double> term = cross_[static_cast<std::size_t>(k)] * z;
        switch (order) {
        case 0: sum += c * term.real(); break;
        case 1: sum -= c * w * term.imag(); break;
        default: sum -= c * w * w * term.real(); break;
        }
        z *= turn;
    }
    return sum;
}

DelayResult DelayFinder::Find(std::span<const std::int16_t> a, std::span<const std::int16_t> b, int maxLag,
                              double sampleRate)
{
    const int n = static_cast<int>(std::min({a.size(), b.size(), static_cast<std::size_t>(length_)}));
    maxLag = std::min(maxLag, n / 2 - 1);
    if (!inverse_ || maxLag < 1 || sampleRate <= 0)
        return {};
    double energyA = 0, energyB = 0;
    for (int i = 0; i < n; ++i) {
        energyA += static_cast<double>(a[static_cast<std::size_t>(i)]) * a[static_cast<std::size_t>(i)];
        energyB += static_cast<double>(b[static_cast<std::size_t>(i)]) * b[static_cast<std::size_t>(i)];
    }
    if (energyA <= 0 || energyB <= 0)
        return {};

    fftA_.Transform(a.first(static_cast<std::size_t>(n)));
    fftB_.Transform(b.first(static_cast<std::size_t>(n)));
    const auto binsA = fftA_.Bins();
    const auto binsB = fftB_.Bins();
    for (std::size_t k = 0; k < cross_.size(); ++k) {
        cross_[k] = std::conj(binsA[k]) * binsB[k];
        inverseIn_[k] = cross_[k];
    }
    fftw_execute(inverse_);  // inverseOut_[m] = M · Σ a[n] b[n + m], negative lags at the end

    const auto at = [&](int lag) { return inverseOut_[lag >= 0 ? lag : fftLength_ + lag]; };
    int peak = 0;
    for (int lag = -maxLag; lag <= maxLag; ++lag)
        if (std::fabs(at(lag)) > std::fabs(at(peak)))
            peak = lag;
    // A peak at the edge of the lags searched is no peak: the true one lies beyond them (too short a
    // stretch for the delay), and the largest value inside is only where the slope towards it ends.
    if (std::abs(peak) == maxLag)
        return {};
    const double sign = at(peak) < 0 ? -1 : 1;

    // Between the samples: a parabola through the peak and its neighbours gives the start, Newton's
    // steps on the interpolated correlation's slope then find its top.
    const double left = sign * at(peak - 1), centre = sign * at(peak), right = sign * at(peak + 1);
    const double curvature = left - 2 * centre + right;
    double tau = peak + (curvature < 0 ? std::clamp(0.5 * (left - right) / curvature, -0.5, 0.5) : 0.0);
    for (int step = 0; step < 8; ++step) {
        const double slope = Interpolated(tau, 1), bend = Interpolated(tau, 2);
        if (sign * bend >= 0)
            break;
        const double next = std::clamp(tau - slope / bend, peak - 1.0, peak + 1.0);
        const bool done = std::fabs(next - tau) < 1e-7;
        tau = next;
        if (done)
            break;
    }

    DelayResult result;
    result.Valid = true;
    result.Samples = tau;
    result.Seconds = tau / sampleRate;
    result.Polarity = sign < 0 ? -1 : 1;
    result.Correlation = Interpolated(tau, 0) / fftLength_ / std::sqrt(energyA * energyB);
    return result;
}

}  // namespace mirel::transfer
