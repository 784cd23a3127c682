#pragma once
// Texts of scales and readouts: engineering notation with Russian prefixes, and the spacing of the
// spectrum analyser's frequency grid.

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mirel {

// The shortest decimal text of `value` to 15 significant digits, fixed-point for |value| >= 1e-5,
// with a decimal comma, as the Russian locale writes real numbers.
std::string GeneralFloatText(double value);

// `x` in units of 10^exponent, at most four characters (cut, not rounded), then the prefix of the
// exponent with its leading space (" м", " мк", ...; " " for 0; nothing for other exponents), with a
// decimal point. Values below a thousandth of the unit read "0.0 ".
std::string ValueToStr(int exponent, double x);

// One line of a display's automatic measurements: what it reads and its value with the unit.
struct ReadingText {
    std::string Label;  // «Частота»
    std::string Value;  // «1 кГц», «—»
};

// A measured value as a readout shows it: rounded to `digits` significant digits (at least 3),
// written as ValueToStr writes it with the engineering prefix that puts it between 1 and 1000
// (`prefixed`; otherwise in the unit itself), followed by `unit`: «1 кГц», «353 мВ», «-12.5 мкВ»,
// «1.12 %»; with more digits their zeros are kept: «1.000 кГц», «50.00 Гц». «—» for a value that
// is not finite.
std::string ReadingToStr(double value, std::string_view unit, bool prefixed = true, int digits = 3);

// The significant digits that show `value` to a multiple of `resolution` (both positive), at least 3.
int DigitsFor(double value, double resolution);

// One channel's readings in rows for a readings box, `rowSizes` of them in each, in their order:
// «A: Частота 1 кГц  Период 1 мс».
std::vector<std::string> ReadingRows(std::string_view channel, std::span<const ReadingText> texts,
                                     std::initializer_list<int> rowSizes);

// Label and grid spacing in hertz for the band fLow..fHigh drawn over `width` pixels.
int GetFreqStep(int fLow, int fHigh, int width);

}  // namespace mirel
