#pragma once
// The averaged auto spectra S_AA, S_BB and the cross spectrum S_AB = conj(A)·B of the two channels'
// transforms: an exponential average over the last n results, a plain running mean while fewer
// than n have come (so that the start is not biased), or a running mean since the reset.

#include <complex>
#include <span>
#include <vector>

namespace mirel::transfer {

// The three spectra bin by bin: what the average holds, or what a smoothing made of it.
struct SpectraView {
    std::span<const double> Aa;
    std::span<const double> Bb;
    std::span<const std::complex<double>> Ab;
};

class CrossSpectra {
public:
    // Room for `bins` bins (allocates); empties the average.
    void Resize(int bins);
    void Reset();

    // Adds one pair of transforms with weight 1 / min(results so far, averaging); `averaging` 0
    // (InfiniteAveraging) is a running mean over every result.
    void Add(std::span<const std::complex<double>> a, std::span<const std::complex<double>> b, int averaging);

    int Count() const { return count_; }  // results since the reset
    int Bins() const { return static_cast<int>(aa_.size()); }
    SpectraView View() const { return {aa_, bb_, ab_}; }

private:
    std::vector<double> aa_, bb_;
    std::vector<std::complex<double>> ab_;
    int count_ = 0;
};

}  // namespace mirel::transfer
