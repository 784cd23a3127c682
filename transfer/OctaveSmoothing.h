#pragma once
// Fractional-octave smoothing of the averaged spectra: bin k becomes the mean of the bins whose
// frequencies lie within f_k · 2^(±1/(2b)), taken from prefix sums so that a pass costs O(bins);
// of S_AB the size is averaged and the bin keeps its own phase, so that a delay's turning phase does
// not cancel the mean. The ratio and the coherence are then formed from the smoothed spectra.

#include "transfer/CrossSpectra.h"

#include <complex>
#include <vector>

namespace mirel::transfer {

class OctaveSmoother {
public:
    // Prepares the bin ranges of a 1/`fraction`-octave smoothing over `bins` bins (allocates; nothing
    // happens when both are those prepared). `fraction` 0 is no smoothing.
    void Set(int bins, int fraction);
    int Fraction() const { return fraction_; }

    // The spectra smoothed, or `in` itself when the smoothing is off or the sizes do not match.
    SpectraView Apply(const SpectraView& in);

    // The bins first … last (inclusive) that bin k averages.
    int First(int k) const { return first_[static_cast<std::size_t>(k)]; }
    int Last(int k) const { return last_[static_cast<std::size_t>(k)]; }

private:
    int bins_ = 0;
    int fraction_ = 0;
    std::vector<int> first_, last_;
    // A mean is the difference of two prefix sums, so it carries a rounding of about 1e−16 of all
    // the power below it: for 16-bit input (at most some 135 dB between a full-scale sine's bin and
    // the quantisation floor) that stays below 1e−4 of the quietest bin's mean.
    std::vector<double> sumAa_, sumBb_;
    std::vector<double> sumAb_;   // of |S_AB|
    std::vector<double> abSize_;  // |S_AB| of each bin
    std::vector<double> aa_, bb_;
    std::vector<std::complex<double>> ab_;
};

}  // namespace mirel::transfer
