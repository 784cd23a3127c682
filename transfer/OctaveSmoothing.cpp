#include "transfer/OctaveSmoothing.h"

#include <algorithm>
#include <cmath>

namespace mirel::transfer {

void OctaveSmoother::Set(int bins, int fraction)
{
    bins = std::max(bins, 0);
    fraction = std::max(fraction, 0);
    if (bins == bins_ && fraction == fraction_ && first_.size() == static_cast<std::size_t>(bins))
        return;
    bins_ = bins;
    fraction_ = fraction;
    const auto size = static_cast<std::size_t>(bins);
    first_.resize(size);
    last_.resize(size);
    const double ratio = fraction > 0 ? std::exp2(1.0 / (2.0 * fraction)) : 1;
    for (int k = 0; k < bins; ++k) {
        // A small margin keeps a bin that lies exactly on an edge inside whatever the rounding.
        const int first = static_cast<int>(std::ceil(k / ratio - 1e-9));
        const int last = static_cast<int>(std::floor(k * ratio + 1e-9));
        first_[static_cast<std::size_t>(k)] = k == 0 ? 0 : std::clamp(first, 1, k);
        last_[static_cast<std::size_t>(k)] = k == 0 ? 0 : std::clamp(last, k, bins - 1);
    }
    sumAa_.assign(size + 1, 0.0);
    sumBb_.assign(size + 1, 0.0);
    sumAb_.assign(size + 1, 0.0);
    abSize_.assign(size, 0.0);
    aa_.assign(size, 0.0);
    bb_.assign(size, 0.0);
    ab_.assign(size, {});
}

SpectraView OctaveSmoother::Apply(const SpectraView& in)
{
    const auto size = static_cast<std::size_t>(bins_);
    if (fraction_ == 0 || in.Aa.size() != size || in.Bb.size() != size || in.Ab.size() != size)
        return in;
    for (std::size_t k = 0; k < size; ++k) {
        sumAa_[k + 1] = sumAa_[k] + in.Aa[k];
        sumBb_[k + 1] = sumBb_[k] + in.Bb[k];
        abSize_[k] = std::sqrt(std::norm(in.Ab[k]));
        sumAb_[k + 1] = sumAb_[k] + abSize_[k];
    }
    for (std::size_t k = 0; k < size; ++k) {
        const auto first = static_cast<std::size_t>(first_[k]);
        const auto end = static_cast<std::size_t>(last_[k]) + 1;
        const double scale = 1.0 / static_cast<double>(end - first);
        aa_[k] = (sumAa_[end] - sumAa_[first]) * scale;
        bb_[k] = (sumBb_[end] - sumBb_[first]) * scale;
        // The size of S_AB is averaged, its phase is the bin's own: a delay turns the phase from bin to
        // bin, and a mean of the complex values would cancel where it turns fast.
        const double mean = (sumAb_[end] - sumAb_[first]) * scale;
        ab_[k] = abSize_[k] > 0 ? in.Ab[k] * (mean / abSize_[k]) : std::complex<double>(mean);
    }
    return {aa_, bb_, ab_};
}

}  // namespace mirel::transfer
