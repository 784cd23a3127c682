#include "spectrum/WindowFunctions.h"

#include <cmath>
#include <numbers>

namespace mirel::spectrum {

namespace {

struct CosineSum {
    double A[5];
    int Terms;
};

// a0 … a(Terms − 1) of w[n] = Σ_j (−1)^j a_j cos(2π j n / N).
CosineSum CoefficientsOf(WindowKind kind)
{
    switch (kind) {
    // Hann: 0.5 − 0.5 cos; the first sidelobe at −31.5 dB, falling 18 dB per octave.
    case WindowKind::Hann: return {{0.5, 0.5}, 2};
    // Four-term Blackman-Harris with the lowest sidelobes of its family: −92 dB.
    case WindowKind::BlackmanHarris: return {{0.35875, 0.48829, 0.14128, 0.01168}, 4};
    // Five-term flat top with sidelobes below −90 dB that fall 18 dB per octave: its main lobe is
    // flat to ±0.004 dB over the half bin either side of a bin, so a sine anywhere between two bins
    // reads its peak (a0 = 1, noise bandwidth 3.88 bins).
    case WindowKind::FlatTop: return {{1, 1.942604, 1.340318, 0.440811, 0.043097}, 5};
    case WindowKind::Rectangular: break;
    }
    return {{1}, 1};
}

}  // namespace

void FillWindow(WindowKind kind, std::span<double> w)
{
    const CosineSum sum = CoefficientsOf(kind);
    const double step = 2 * std::numbers::pi / static_cast<double>(w.size());
    for (std::size_t n = 0; n < w.size(); ++n) {
        double value = sum.A[0];
        double sign = -1;
        for (int j = 1; j < sum.Terms; ++j, sign = -sign)
            value += sign * sum.A[j] * std::cos(step * static_cast<double>(j) * static_cast<double>(n));
        w[n] = value;
    }
}

void WindowTable::Set(WindowKind kind, int length)
{
    if (kind == kind_ && length == length_)
        return;
    kind_ = kind;
    length_ = length;
    coherentGain_ = 1;
    noiseBandwidth_ = 1;
    if (kind == WindowKind::Rectangular || length < 1) {
        coefficients_.clear();
        return;
    }
    coefficients_.resize(static_cast<std::size_t>(length));
    FillWindow(kind, coefficients_);
    double sum = 0, squares = 0;
    for (const double c : coefficients_) {
        sum += c;
        squares += c * c;
    }
    coherentGain_ = sum / length;
    noiseBandwidth_ = length * squares / (sum * sum);
}

}  // namespace mirel::spectrum
