#include "transfer/CrossSpectra.h"

#include <algorithm>

namespace mirel::transfer {

void CrossSpectra::Resize(int bins)
{
    const auto size = static_cast<std::size_t>(std::max(bins, 0));
    aa_.assign(size, 0.0);
    bb_.assign(size, 0.0);
    ab_.assign(size, {});
    count_ = 0;
}

void CrossSpectra::Reset()
{
    std::fill(aa_.begin(), aa_.end(), 0.0);
    std::fill(bb_.begin(), bb_.end(), 0.0);
    std::fill(ab_.begin(), ab_.end(), std::complex<double>{});
    count_ = 0;
}

void CrossSpectra::Add(std::span<const std::complex<double>> a, std::span<const std::complex<double>> b, int averaging)
{
    ++count_;
    const int n = averaging <= 0 ? count_ : std::min(count_, averaging);
    const double w = 1.0 / n;
    const std::size_t bins = std::min({aa_.size(), a.size(), b.size()});
    for (std::size_t k = 0; k < bins; ++k) {
        // Spelt out: the library's complex product checks every result for NaN.
        const double ar = a[k].real(), ai = a[k].imag(), br = b[k].real(), bi = b[k].imag();
        aa_[k] += w * (ar * ar + ai * ai - aa_[k]);
        bb_[k] += w * (br * br + bi * bi - bb_[k]);
        ab_[k] += w * (std::complex<double>(ar * br + ai * bi, ar * bi - ai * br) - ab_[k]);
    }
}

}  // namespace mirel::transfer
