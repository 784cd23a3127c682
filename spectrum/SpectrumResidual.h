#pragma once
// The spectrum readings' loops over every bin of a transform (k = 0 … N/2 of an N-point block):
// the largest bin, and the power left once fitted components' whole leakage is taken out.

#include <complex>
#include <span>
#include <utility>

namespace mirel::spectrum {

// A fitted component's leakage into bin k, (P·e^(iθk) − Q) / (2·(cos θk − cos ω)), θk = 2πk/N:
// with d = cos θk − cos ω and R = P·cos ω − Q, its real part is (P + R / d) / 2 and its imaginary
// part P·sin θk / (2·d).
struct ComponentLeak {
    double P, R, Cosine;
};

// The largest bin of 1 … N/2 (the first of equal ones) and its power |X(k)|².
std::pair<int, double> LargestBin(std::span<const std::complex<double>> bins);

// Σ |X(k) − leakage(k)|² over k = 1 … N/2 but `skipped` (ascending), the leakage of up to ten
// components taken out. Allocates nothing; angles are kept per thread for the last length.
double ResidualPower(std::span<const std::complex<double>> bins, std::span<const ComponentLeak> leaks,
                     std::span<const int> skipped);

}  // namespace mirel::spectrum
