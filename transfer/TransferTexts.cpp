#include "transfer/TransferTexts.h"

#include "common/ValueFormat.h"
#include "spectrum/SpectrumCursor.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace mirel::transfer {

namespace {

// `value` with `decimals` digits after the point, then `unit`, whatever the locale.
std::string Fixed(double value, int decimals, std::string_view unit = {})
{
    char text[64];
    char* end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals).ptr;
    // What rounds to zero reads without a sign.
    if (text[0] == '-' && std::all_of(text + 1, end, [](char c) { return c == '0' || c == '.'; }))
        std::memmove(text, text + 1, static_cast<std::size_t>(--end - text));
    return std::string(text, static_cast<std::size_t>(end - text)).append(unit);
}

// A decimal comma in place of the point, as the panel writes numbers.
std::string WithComma(std::string text)
{
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

const TransferPoint* Nearest(std::span<const TransferPoint> points, double hz)
{
    if (points.empty())
        return nullptr;
    const auto after = std::lower_bound(points.begin(), points.end(), hz,
                                        [](const TransferPoint& p, double f) { return p.Frequency < f; });
    if (after == points.end())
        return &points.back();
    if (after == points.begin() || after->Frequency - hz < hz - std::prev(after)->Frequency)
        return &*after;
    return &*std::prev(after);
}

}  // namespace

const TransferPoint* PointAtColumn(std::span<const TransferPoint> points, const FrequencyScale& axis, int x)
{
    return Nearest(points, spectrum::FrequencyAtX(x + 0.5, axis));
}

const TransferPoint* PointNear(std::span<const TransferPoint> points, double hz)
{
    const TransferPoint* p = Nearest(points, hz);
    return p && std::abs(std::log2(p->Frequency / hz)) <= 0.1 ? p : nullptr;
}

std::vector<std::string> CursorTexts(const TransferPoint& point)
{
    return {spectrum::FrequencyText(point.Frequency), "|H|: " + Fixed(point.MagnitudeDb, 2, " дБ"),
            "φ: " + Fixed(point.PhaseDeg, 1, "°"), "γ²: " + Fixed(point.Coherence, 3)};
}

std::vector<std::string> ResponseRows(std::span<const TransferPoint> points, const DelayResult& delay)
{
    std::vector<std::string> rows;
    if (const TransferPoint* at1k = PointNear(points, 1000))
        rows.push_back("|H| 1 кГц: " + Fixed(at1k->MagnitudeDb, 2, " дБ"));
    if (delay.Valid)
        rows.push_back("Задержка: " + Fixed(delay.Seconds * 1000, 3, " мс") + (delay.Polarity < 0 ? ", инв." : ""));
    return rows;
}

std::vector<std::string> CoherenceRows(std::span<const TransferPoint> points)
{
    if (points.empty())
        return {};
    double sum = 0;
    for (const TransferPoint& p : points)
        sum += p.Coherence;
    return {"γ² сред.: " + Fixed(sum / static_cast<double>(points.size()), 3)};
}

std::string DelayText(const DelayResult& delay)
{
    if (!delay.Valid)
        return "Задержка не найдена";
    return "Задержка: " + WithComma(Fixed(delay.Seconds * 1000, 3)) + " мс (" + WithComma(Fixed(delay.Samples, 2)) +
           " отсч.), полярность " + (delay.Polarity < 0 ? "−" : "+");
}

std::optional<double> TypedNumber(std::string_view text)
{
    std::string s(text);
    s.erase(0, s.find_first_not_of(' '));
    s.erase(s.find_last_not_of(' ') + 1);
    std::replace(s.begin(), s.end(), ',', '.');
    if (s.empty())
        return std::nullopt;
    if (s.front() == '+')
        s.erase(0, 1);
    double value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (error != std::errc() || end != s.data() + s.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string FieldText(double value)
{
    return GeneralFloatText(value);
}

std::string RangeFault(const DisplayRange& r)
{
    if (!(r.LowHz >= 1 && r.HighHz <= 1e6))
        return "Полоса частот: от 1 Гц до 1 МГц";
    if (!(r.HighHz > r.LowHz))
        return "Верхняя частота должна быть выше нижней";
    if (!(r.TopDb <= 300 && r.BottomDb >= -300))
        return "Шкала дБ: от -300 до +300 дБ";
    if (!(r.TopDb >= r.BottomDb + 1))
        return "Верх шкалы дБ должен быть хотя бы на 1 дБ выше низа";
    if (!(r.CoherenceThreshold >= 0 && r.CoherenceThreshold <= 1))
        return "Порог когерентности: от 0 до 1";
    return {};
}

}  // namespace mirel::transfer
