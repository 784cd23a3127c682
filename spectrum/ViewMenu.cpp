#include "spectrum/ViewMenu.h"

#include <algorithm>
#include <array>

namespace mirel::spectrum {

namespace {

constexpr std::array<std::pair<WindowKind, std::string_view>, 4> WindowWords{{
    {WindowKind::Rectangular, "rect"},
    {WindowKind::Hann, "hann"},
    {WindowKind::BlackmanHarris, "blackman"},
    {WindowKind::FlatTop, "flattop"},
}};

// A whole number of `word` among `allowed`.
std::optional<int> numberAmong(std::string_view word, std::initializer_list<int> allowed)
{
    for (const int value : allowed)
        if (word == std::to_string(value))
            return value;
    return std::nullopt;
}

}  // namespace

const std::vector<ViewMenuItem>& ViewMenuItems()
{
    static const std::vector<ViewMenuItem> items{
        {"levelScale", "Шкала уровней", false, {{"linear", "Линейная"}, {"db", "Децибелы"}}},
        {"dbTop", "Верх шкалы дБ", false, {{"0", "0 дБ"}, {"10", "+10 дБ"}, {"20", "+20 дБ"}}},
        {"dbSpan", "Диапазон дБ", false, {{"60", "60 дБ"}, {"80", "80 дБ"}, {"100", "100 дБ"}, {"120", "120 дБ"}}},
        {"frequencyScale", "Шкала частот", false, {{"linear", "Линейная"}, {"log", "Логарифмическая"}}},
        {"window",
         "Окно",
         false,
         {{"rect", "Прямоугольное"},
          {"hann", "Ханна"},
          {"blackman", "Блэкмана-Харриса"},
          {"flattop", "Плоская вершина"}}},
        {"averaging", "Усреднение", false, {{"1", "Нет"}, {"4", "4 блока"}, {"16", "16 блоков"}, {"64", "64 блока"}}},
        {"peakHold", "Удержание пиков", true, {{"0", "Нет"}, {"1", "Да"}}},
        {"spectrogram", "Спектрограмма", true, {{"0", "Нет"}, {"1", "Да"}}},
        {"lines",
         "Скорость",
         false,
         {{"10", "10 строк/с"}, {"25", "25 строк/с"}, {"50", "50 строк/с"}, {"100", "100 строк/с"}}},
        {"colourMap", "Палитра", false, {{"viridis", "Viridis"}, {"grey", "Оттенки серого"}}},
    };
    return items;
}

std::optional<ViewSettings> WithViewChoice(const ViewSettings& view, std::string_view name, std::string_view word)
{
    ViewSettings v = view;
    if (name == "levelScale" && (word == "linear" || word == "db")) {
        v.Decibels = word == "db";
    } else if (name == "frequencyScale" && (word == "linear" || word == "log")) {
        v.LogFrequency = word == "log";
    } else if (name == "peakHold" && (word == "0" || word == "1")) {
        v.PeakHold = word == "1";
    } else if (name == "spectrogram" && (word == "0" || word == "1")) {
        v.Spectrogram = word == "1";
    } else if (name == "lines" && numberAmong(word, {10, 25, 50, 100})) {
        v.LinesPerSecond = *numberAmong(word, {10, 25, 50, 100});
    } else if (name == "colourMap" && (word == "viridis" || word == "grey")) {
        v.Map = word == "grey" ? ColourMap::Grey : ColourMap::Viridis;
    } else if (name == "dbTop" && numberAmong(word, {0, 10, 20})) {
        v.TopDb = *numberAmong(word, {0, 10, 20});
    } else if (name == "dbSpan" && numberAmong(word, {60, 80, 100, 120})) {
        v.SpanDb = *numberAmong(word, {60, 80, 100, 120});
    } else if (name == "averaging" && numberAmong(word, {1, 4, 16, 64})) {
        v.Averaging = *numberAmong(word, {1, 4, 16, 64});
    } else if (name == "window") {
        const auto it =
            std::find_if(WindowWords.begin(), WindowWords.end(), [word](const auto& w) { return w.second == word; });
        if (it == WindowWords.end())
            return std::nullopt;
        v.Window = it->first;
    } else {
        return std::nullopt;
    }
    return v;
}

std::string ViewChoiceOf(const ViewSettings& view, std::string_view name)
{
    if (name == "levelScale")
        return view.Decibels ? "db" : "linear";
    if (name == "frequencyScale")
        return view.LogFrequency ? "log" : "linear";
    if (name == "peakHold")
        return view.PeakHold ? "1" : "0";
    if (name == "spectrogram")
        return view.Spectrogram ? "1" : "0";
    if (name == "lines")
        return std::to_string(view.LinesPerSecond);
    if (name == "colourMap")
        return view.Map == ColourMap::Grey ? "grey" : "viridis";
    if (name == "dbTop")
        return std::to_string(view.TopDb);
    if (name == "dbSpan")
        return std::to_string(view.SpanDb);
    if (name == "averaging")
        return std::to_string(view.Averaging);
    if (name == "window")
        for (const auto& [kind, word] : WindowWords)
            if (kind == view.Window)
                return std::string(word);
    return {};
}

}  // namespace mirel::spectrum
