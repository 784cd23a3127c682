#include "density/DensityControlTable.h"

#include "density/DensityScales.h"

namespace mirel::pv {

namespace {

ControlMeaning Scale(const char* name, const char* caption)
{
    ControlMeaning control{name, caption, {}, {}};
    for (int position = ScalePositionMin; position <= ScalePositionMax; ++position) {
        const double scale = ScaleAt(position);
        control.Positions.push_back(
            {position, ScaleCaption(scale), {{scale / DensityDivisions, "", PerDivision::Always}}});
    }
    return control;
}

ControlMeaning RefreshRate()
{
    ControlMeaning control{"tbrps", "Скорость обновления", {}, {}};
    for (int rate = RefreshRateMin; rate <= RefreshRateMax; ++rate) {
        // The rate as the group's title writes it in brackets: «3 раза/с».
        const std::string title = RefreshRateCaption(rate);
        const auto open = title.find('(');
        control.Positions.push_back({rate, title.substr(open + 1, title.size() - open - 2), {}});
    }
    return control;
}

}  // namespace

ControlTable ControlMeanings()
{
    return {
        {"cb1k", "Канал A", {}, {}},
        {"cb2k", "Канал B", {}, {}},
        Scale("tbVP1", "Масштаб A"),
        Scale("tbVP2", "Масштаб B"),
        {"rbPV", "Плотность вероятности", {}, {}},
        {"rbNM", "Нормированный по макс. значению", {}, {}},
        RefreshRate(),
    };
}

}  // namespace mirel::pv
