#pragma once
// Texts of scales and readouts: engineering notation with Russian prefixes, and the spacing of the
// spectrum analyser's frequency grid.

#include <string>

namespace mirel {

// The shortest decimal text of `value` to 15 significant digits, fixed-point for |value| >= 1e-5,
// with a decimal comma, as the Russian locale writes real numbers.
std::string GeneralFloatText(double value);

// `x` in units of 10^exponent, at most four characters (cut, not rounded), then the prefix of the
// exponent with its leading space (" м", " мк", ...; " " for 0; nothing for other exponents), with a
// decimal point. Values below a thousandth of the unit read "0.0 ".
std::string ValueToStr(int exponent, double x);

// Label and grid spacing in hertz for the band fLow..fHigh drawn over `width` pixels.
int GetFreqStep(int fLow, int fHigh, int width);

}  // namespace mirel
