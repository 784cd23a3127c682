#include "common/ValueFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace mirel {

namespace {

const char* prefixOf(int exponent)
{
    switch (exponent) {
    case -12: return " п";
    case -9: return " н";
    case -6: return " мк";
    case -3: return " м";
    case 0: return " ";
    case 3: return " к";
    case 6: return " М";
    case 9: return " Г";
    default: return "";
    }
}

// x truncated toward zero to a multiple of 10^-9, or of 10^-15 for values below 10^-9.
double truncatedForZeroTest(double x)
{
    constexpr double int64Limit = 9.0e18;
    const double nano = x * 1e9;
    if (!std::isfinite(x) || nano >= int64Limit)
        return x;
    if (nano >= 1)
        return static_cast<double>(static_cast<std::int64_t>(nano)) / 1e9;
    return static_cast<double>(static_cast<std::int64_t>(x * 1e15)) / 1e15;
}

}  // namespace

std::string GeneralFloatText(double value)
{
    if (value == 0 || !std::isfinite(value))
        return value == 0 ? "0" : (std::isnan(value) ? "NAN" : (value > 0 ? "INF" : "-INF"));

    // 15 significant digits: mantissa digits and decimal exponent (as printf's %.14e writes them).
    char buffer[64];
    *std::to_chars(buffer, buffer + sizeof buffer - 1, std::fabs(value), std::chars_format::scientific, 14).ptr = '\0';
    std::string digits;
    const char* p = buffer;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            digits += *p;
    const int exponent = std::atoi(p + 1);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string text = value < 0 ? "-" : "";
    const int digitCount = static_cast<int>(digits.size());
    if (exponent >= 15 || std::fabs(value) < 1e-5) {
        // Scientific: d,ddddE+XX
        text += digits.substr(0, 1);
        if (digitCount > 1)
            text.append(",").append(digits, 1);
        char exp[16];
        std::snprintf(exp, sizeof exp, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        return text + exp;
    }
    if (exponent < 0) {
        text += "0," + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    } else if (digitCount <= exponent + 1) {
        text += digits + std::string(static_cast<size_t>(exponent + 1 - digitCount), '0');
    } else {
        text += digits.substr(0, static_cast<size_t>(exponent + 1)) + "," +
                digits.substr(static_cast<size_t>(exponent + 1));
    }
    return text;
}

std::string ValueToStr(int exponent, double x)
{
    if (x < 0) {
        std::string negative = "-";
        return negative.append(ValueToStr(exponent, -x));
    }

    const double r = truncatedForZeroTest(x);
    const double d = std::pow(10.0, exponent);
    std::string s = d > r * 1000 ? "0.0 " : GeneralFloatText(x / d).substr(0, 4);
    s += prefixOf(exponent);

    if (const auto comma = s.find(','); comma != std::string::npos)
        s[comma] = '.';
    if (const auto point = s.find('.'); point != std::string::npos) {
        const bool digitFollows = point + 1 < s.size() && s[point + 1] >= '0' && s[point + 1] <= '9';
        if (!digitFollows)
            s.erase(point, 1);
    }
    return s;
}

std::string ReadingToStr(double value, std::string_view unit, bool prefixed, int digits)
{
    if (!std::isfinite(value))
        return "—";
    const double size = std::fabs(value);
    int exponent = 0;
    if (prefixed && size >= 1e-12)
        exponent = std::clamp(static_cast<int>(std::floor(std::log10(size) / 3)) * 3, -12, 9);
    double units = size / std::pow(10.0, exponent);
    if (digits > 3) {
        // Rounded to the digits asked for, which may carry it into the next prefix.
        const auto decimalsOf = [digits](double u) {
            return std::max(0, digits - (u >= 1 ? static_cast<int>(std::floor(std::log10(u))) + 1 : 1));
        };
        const auto rounded = [](double u, int decimals) {
            const double scale = std::pow(10.0, decimals);
            return std::round(u * scale) / scale;
        };
        int decimals = decimalsOf(units);
        if (prefixed && rounded(units, decimals) >= 1000 && exponent < 9) {
            units /= 1000;
            exponent += 3;
            decimals = decimalsOf(units);
        }
        // As printf's %.*f writes it; the longest double has 309 digits before the point.
        char text[352];
        char* end = std::to_chars(text, text + sizeof text, std::copysign(rounded(units, decimals), value),
                                  std::chars_format::fixed, decimals)
                        .ptr;
        return std::string(text, end).append(prefixOf(exponent)).append(unit);
    }
    const double scale = units >= 100 ? 1 : units >= 10 ? 10 : 100;
    units = std::round(units * scale) / scale;
    if (prefixed && units >= 1000 && exponent < 9) {
        units /= 1000;
        exponent += 3;
    }
    std::string text = ValueToStr(exponent, std::copysign(units, value) * std::pow(10.0, exponent));
    // A value below a thousandth of the unit is «0.0 » before the prefix's own blank: one is enough.
    if (text.ends_with("  "))
        text.pop_back();
    return text.append(unit);
}

int DigitsFor(double value, double resolution)
{
    if (!(value > 0) || !(resolution > 0) || !std::isfinite(value))
        return 3;
    const double steps = std::max(std::round(value / resolution), 1.0);
    return std::clamp(static_cast<int>(std::floor(std::log10(steps))) + 1, 3, 15);
}

std::vector<std::string> ReadingRows(std::string_view channel, std::span<const ReadingText> texts,
                                     std::initializer_list<int> rowSizes)
{
    std::vector<std::string> rows;
    std::size_t next = 0;
    for (const int size : rowSizes) {
        std::string row = std::string(channel) + ":";
        for (int i = 0; i < size && next < texts.size(); ++i, ++next)
            row.append(i > 0 ? "  " : " ").append(texts[next].Label).append(" ").append(texts[next].Value);
        rows.push_back(std::move(row));
    }
    return rows;
}

int GetFreqStep(int fLow, int fHigh, int width)
{
    static const int steps[12] = {100, 200, 300, 400, 500, 1000, 2000, 3000, 4000, 5000, 10000, 20000};
    constexpr int fallbackStep = 25000;

    const int diff = fHigh - fLow;
    int i = 0;
    if (diff >= 4000)
        i = 1;
    if (diff >= 6000)
        i = 2;
    if (diff >= 8000)
        i = 4;
    if (diff >= 35000)
        i = 6;
    if (diff <= 5000 && fLow >= 25000 && fLow <= 35000)
        i = 4;
    if (fLow == 18000 && diff <= 5000)
        i = 0;
    if (fLow == 20000 && diff <= 5000)
        i = 3;
    if (fLow >= 40000)
        i = 4;

    std::string label = GeneralFloatText(fHigh / 1000.0);
    if (steps[i] < 1000 && label.find(',') == std::string::npos)
        label += ",0";
    const double need = 6.0 * static_cast<double>(label.size()) + 3;

    while (width < static_cast<double>(diff) / steps[i] * need) {
        ++i;
        if (i > 11)
            return fallbackStep;
    }
    return steps[i];
}

}  // namespace mirel
