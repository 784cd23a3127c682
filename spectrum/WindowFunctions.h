#pragma once
// Window functions for the analyser's transform: their coefficients for one block length, and the
// two figures that correct a windowed spectrum's levels, coherent gain and noise bandwidth.

#include "spectrum/SpectrumView.h"

#include <span>
#include <vector>

namespace mirel::spectrum {

// Fills `w` with the window of `kind` over w.size() points. Every window is a sum of cosines in
// its periodic form, w[n] = Σ_j (−1)^j a_j cos(2π j n / N): its transform is then a few lines
// exactly one bin apart, so a sine that lies on a bin keeps its whole energy in the bins beside
// it and its own bin reads exactly a0 · N/2 times its peak. The symmetric form (N − 1 in the
// denominator) is not periodic over the block and leaks a little into every bin.
void FillWindow(WindowKind kind, std::span<double> w);

// A window's coefficients for one length, made only when the kind or the length changes.
class WindowTable {
public:
    // Makes the coefficients of `kind` over `length` points; nothing happens when both are those
    // already made.
    void Set(WindowKind kind, int length);
    WindowKind Kind() const { return kind_; }
    int Length() const { return length_; }

    // The coefficients, or nothing for the rectangular window (every coefficient 1).
    std::span<const double> Coefficients() const { return coefficients_; }
    // Coherent gain Σw / N: a sine's peak bin is this share of what a rectangular block gives.
    double CoherentGain() const { return coherentGain_; }
    // Equivalent noise bandwidth N · Σw² / (Σw)², in bins: how much more noise a bin collects than
    // a rectangular block's bin.
    double NoiseBandwidth() const { return noiseBandwidth_; }

private:
    WindowKind kind_ = WindowKind::Rectangular;
    int length_ = 0;
    std::vector<double> coefficients_;
    double coherentGain_ = 1;
    double noiseBandwidth_ = 1;
};

}  // namespace mirel::spectrum
