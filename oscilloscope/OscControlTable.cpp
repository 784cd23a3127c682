#include "oscilloscope/OscControlTable.h"

#include "oscilloscope/OscScales.h"

namespace mirel::osc {

namespace {

ControlMeaning Sensitivity(const char* name, const char* caption, int surfaceHeight)
{
    ControlMeaning control{name, caption, {}, {}};
    for (int position = 0; position <= SensitivityPositionMax; ++position) {
        const double sens = SensitivityAt(position);
        // The screen is 6 / sens volts high, over the divisions of this height.
        const double perDivision = 6 / sens / VoltDivisions(surfaceHeight);
        control.Positions.push_back(
            {position, SensitivityCaption(sens, surfaceHeight), {{perDivision, "В", PerDivision::Optional}}});
    }
    return control;
}

ControlMeaning TimeBase(int surfaceWidth)
{
    ControlMeaning control{"udX", "Диапазон развертки", {}, {}};
    for (int position = 0; position <= TimeBasePositionMax; ++position) {
        const int timeBase = TimeBaseAt(position);
        // The time base is a quarter of the screen time, in microseconds.
        const double perDivision = 4e-6 * timeBase / TimeDivisions(surfaceWidth);
        control.Positions.push_back(
            {position, TimeBaseCaption(timeBase, surfaceWidth), {{perDivision, "с", PerDivision::Optional}}});
    }
    return control;
}

}  // namespace

ControlTable ControlMeanings(int surfaceWidth, int surfaceHeight)
{
    return {
        {"cb1k", "Канал A", {}, {}},
        {"cb2k", "Канал B", {}, {}},
        Sensitivity("udAY", "Масштаб A", surfaceHeight),
        Sensitivity("udBY", "Масштаб B", surfaceHeight),
        {"tbAYShift", "Смещение по вертикали A", {}, {}},
        {"tbBYShift", "Смещение по вертикали B", {}, {}},
        TimeBase(surfaceWidth),
        {"tbXShift", "Смещение по горизонтали", {}, {}},
        {"cbSinchro", "Синхронизация", {}, {}},
        {"cbRefInt", "Max", {}, {}},
    };
}

}  // namespace mirel::osc
