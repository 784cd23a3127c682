#include "spectrum/SpectrumControlTable.h"

#include "common/ValueFormat.h"
#include "spectrum/SpectrumScales.h"

namespace mirel::spectrum {

namespace {

ControlMeaning Scale(const char* name, const char* caption, bool amplitudeMode)
{
    ControlMeaning control{name, caption, {}, {}};
    const std::string unit = LevelUnit(amplitudeMode);
    for (int position = 0; position <= ScalePositionMax(amplitudeMode); ++position) {
        const double top = FullScaleAt(amplitudeMode, position);
        const std::string text =
            ValueToStr(LevelExponent(top), top) + unit + " (" + DivisionCaption(top, amplitudeMode) + ")";
        control.Positions.push_back(
            {position, text, {{top, unit, PerDivision::Never}, {top / LevelDivisions, unit, PerDivision::Always}}});
    }
    return control;
}

// The band's edges from `first` to `last` (track-bar positions).
ControlMeaning Band(const char* name, const char* caption, int first, int last)
{
    ControlMeaning control{name, caption, "Гц", {}};
    for (int position = first; position <= last; ++position) {
        const int frequency = BandFrequencyAt(position);
        control.Positions.push_back(
            {position, BandCaption(frequency), {{double(frequency), "Гц", PerDivision::Never}}});
    }
    return control;
}

ControlMeaning Accuracy()
{
    ControlMeaning control{"tbAccuracy", "Точность", {}, {}};
    for (int position = 0; position <= AccuracyPositionMax; ++position) {
        const int length = TransformSizeAt(position).FftLength;
        control.Positions.push_back(
            {position, std::to_string(length) + " точек", {{double(length), "", PerDivision::Never}}});
    }
    return control;
}

}  // namespace

ControlTable ControlMeanings(int sampleRate, bool amplitudeMode)
{
    // The lower edge stays below the upper one.
    const int bands = BandPositionCount(sampleRate);
    return {
        {"cb1k", "Канал A", {}, {}},
        {"cb2k", "Канал B", {}, {}},
        Scale("tbM1", "Масштаб A", amplitudeMode),
        Scale("tbM2", "Масштаб B", amplitudeMode),
        Band("tbFn1", "Нижняя частота", 1, bands - 1),
        Band("tbFv1", "Верхняя частота", 2, bands),
        {"rbSpektrAmp", "Спектр: Амплитуд", {}, {}},
        {"rbSpektrMosch", "Спектр: Мощностей", {}, {}},
        Accuracy(),
    };
}

}  // namespace mirel::spectrum
