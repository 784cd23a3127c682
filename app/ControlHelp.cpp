// The --set entry of the help text: how a control is named and what it takes, and for each
// instrument its controls by name and caption with what their positions mean, from the tables
// the windows' own scales give.
#include "app/ControlHelp.h"

#include "app/ControlValues.h"
#include "density/DensityControlTable.h"
#include "oscilloscope/OscControlTable.h"
#include "spectrum/SpectrumControlTable.h"
#include "spectrum/ViewMenu.h"
#include "transfer/TransferSettings.h"

#include <algorithm>

namespace mirel {

namespace {

constexpr int TextColumn = 21;
constexpr int LineWidth = 80;
constexpr int HelpRate = 48000;

std::vector<ControlEntry> entriesOf(const ControlTable& table)
{
    std::vector<ControlEntry> entries;
    for (const ControlMeaning& meaning : table) {
        ControlEntry entry{meaning.Name, meaning.Caption, {}, &meaning, 0, 0};
        if (!meaning.Positions.empty()) {
            entry.Low = meaning.Positions.front().Position;
            entry.High = meaning.Positions.back().Position;
        }
        entries.push_back(entry);
    }
    return PairedChannels(entries);
}

// "udAY, udBY «Масштаб A, B» 0..11: 0.2 мВ/дел…1 В/дел".
std::string described(const ControlEntry& entry)
{
    std::string text = entry.Names + " " + Unbroken("«" + entry.Caption + "»");
    if (const std::string range = MeaningRange(*entry.Meaning, entry.Low, entry.High); !range.empty())
        text.append(" ")
            .append(std::to_string(entry.Low))
            .append("..")
            .append(std::to_string(entry.High))
            .append(": ")
            .append(Unbroken(range));
    return text;
}

// The controls of `table`; with `others`, only those whose positions mean something else there.
std::string listed(const ControlTable& table, const ControlTable* others = nullptr)
{
    std::vector<std::string> otherTexts;
    if (others)
        for (const ControlEntry& entry : entriesOf(*others))
            otherTexts.push_back(described(entry));
    std::string text;
    for (const ControlEntry& entry : entriesOf(table)) {
        const std::string item = described(entry);
        if (std::find(otherTexts.begin(), otherTexts.end(), item) == otherTexts.end())
            text += (text.empty() ? "" : "; ") + item;
    }
    return text;
}

// The analyser's view settings of its display's menu: "levelScale «Шкала уровней» linear | db".
std::string viewMenuListed()
{
    std::string text;
    for (const spectrum::ViewMenuItem& item : spectrum::ViewMenuItems()) {
        std::string words;
        for (const spectrum::ViewChoice& choice : item.Choices)
            words.append(words.empty() ? "" : " | ").append(choice.Word);
        text.append(text.empty() ? "" : "; ")
            .append(item.Name + " " + Unbroken("«" + item.Caption + "»") + " " + words);
    }
    return text;
}

// The transfer function's controls: lists take an item's text, boxes a number.
std::string transferListed()
{
    std::string lengths;
    for (int n = transfer::ShortestFftLength; n <= transfer::LongestFftLength; n *= 2)
        lengths.append(lengths.empty() ? "" : " | ").append(std::to_string(n));
    std::string windows;
    for (const spectrum::ViewMenuItem& item : spectrum::ViewMenuItems())
        if (item.Name == "window")
            for (const spectrum::ViewChoice& choice : item.Choices)
                windows.append(windows.empty() ? "" : " | ").append(choice.Text);
    return "cbN " + Unbroken("«Точек»") + " " + lengths + "; cbWindow " + Unbroken("«Окно»") + " " + windows +
           "; cbAverage " + Unbroken("«Усредн.»") + " 1 | 4 | 16 | 64 | 256 | Бесконечно; cbSmoothing " +
           Unbroken("«Сглаж.»") + " Нет | 1/48 | 1/24 | 1/12 | 1/6 | 1/3; edFLow, edFHigh " + Unbroken("«Гц»") +
           " — полоса в герцах; edDbTop, edDbBottom " + Unbroken("«дБ»") + " — шкала модуля; edCoherence " +
           Unbroken("«Порог γ²»") + " от 0 до 1; cbBlanking Приглушать | Скрывать; chbCompensate " +
           Unbroken("«Компенсировать»") + " 0 или 1; у measure transfer еще delay=1 (см. выше)";
}

// A list entry of the help: the term, then its text from the text column on.
std::string entry(const std::string& term, const std::string& text)
{
    const std::string start = "  " + term + std::string(TextColumn - 2 - term.size(), ' ');
    return start + Wrapped(text, TextColumn, TextColumn, LineWidth) + "\n";
}

}  // namespace

std::string controlsHelpText()
{
    // The smallest window's display is below both sizes at which the oscilloscope's divisions
    // become finer.
    const ControlTable oscilloscope = osc::ControlMeanings(0, 0);
    const ControlTable amplitude = spectrum::ControlMeanings(HelpRate, true);
    const ControlTable power = spectrum::ControlMeanings(HelpRate, false);
    const ControlTable density = pv::ControlMeanings();
    return "  --set CONTROL=VALUE  " +
           Wrapped("элемент управления окна по его имени CONTROL (ниже рядом с подписью на панели). "
                   "Ползунок или стрелки принимают позицию, а где у позиции есть единица, и значение в "
                   "ней: udX=0.2ms (0.2мс, 200us, 200мкс), udAY=0.5V (0.5В, 500mV, 500мВ), tbFv1=6000 "
                   "(6000Hz, 6kHz, 6кГц), tbM1=1V (верх шкалы) или tbM1=50mV/div (деление), "
                   "tbVP1=0.2/дел. Целое число в пределах позиций — позиция; число без единицы вне их — "
                   "герцы у частот и число точек у «Точность». Значение, не совпадающее ни с одной "
                   "позицией, отвергается со списком позиций и их значений. Флажки принимают 0 или 1, "
                   "переключатели 1, список — текст пункта, смещения — позицию в точках графика, "
                   "пункт меню графика — слово выбора, пункт с флажком 0 или 1 (NReadings «Показания» "
                   "во всех окнах с графиком). "
                   "Элементы окон ниже; В/дел и с/дел — в окне 500x450 (в большем окне деления бывают "
                   "вдвое мельче), частоты — при 48000 Гц",
                   23, TextColumn, LineWidth) +
           "\n" + entry("oscilloscope", listed(oscilloscope)) +
           entry("spectrum", listed(amplitude) + "; у спектра мощностей " + listed(power, &amplitude) +
                                 "; пункты меню графика (щелчок правой кнопкой): " + viewMenuListed()) +
           entry("density", listed(density)) + entry("transfer", transferListed());
}

}  // namespace mirel
