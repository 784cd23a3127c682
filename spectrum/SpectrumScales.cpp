#include "spectrum/SpectrumScales.h"

#include "common/ValueFormat.h"

#include <algorithm>
#include <cmath>

namespace mirel::spectrum {

namespace {

// Powers of ten written out, so that table entries such as 1e-6 compare exactly with the
// thresholds of the prefix rule (doubling keeps a decimal literal's rounding).
constexpr std::array<double, 15> Decades = {1e-12, 1e-11, 1e-10, 1e-9, 1e-8, 1e-7, 1e-6, 1e-5,
                                            1e-4,  1e-3,  1e-2,  1e-1, 1e0,  1e1,  1e2};

template <std::size_t Size>
constexpr std::array<double, Size> ScaleTable(int firstDecade)
{
    std::array<double, Size> table{};
    constexpr double steps[3] = {1, 2, 4};
    for (std::size_t i = 0; i < Size; ++i)
        table[i] = steps[i % 3] * Decades[static_cast<std::size_t>(firstDecade) + i / 3];
    return table;
}

}  // namespace

const std::array<double, AmplitudePositionMax + 1> AmplitudeScaleTable = ScaleTable<AmplitudePositionMax + 1>(5);
const std::array<double, PowerPositionMax + 1> PowerScaleTable = ScaleTable<PowerPositionMax + 1>(0);

TransformSize TransformSizeAt(int position)
{
    position = std::clamp(position, 0, AccuracyPositionMax);
    TransformSize size;
    size.AccuracyFactor = static_cast<int>(std::trunc(std::exp(std::log(2.0) * position) + 0.0005));
    size.FftLength = ShortestFftLength * size.AccuracyFactor;
    size.HalfLength = size.FftLength / 2;
    size.Norm = size.AccuracyFactor * (1 << 25);
    return size;
}

int ScalePositionMax(bool amplitudeMode)
{
    return amplitudeMode ? AmplitudePositionMax : PowerPositionMax;
}

double FullScaleAt(bool amplitudeMode, int position)
{
    const int i = std::clamp(position, 0, ScalePositionMax(amplitudeMode));
    return amplitudeMode ? AmplitudeScaleTable[static_cast<std::size_t>(i)]
                         : PowerScaleTable[static_cast<std::size_t>(i)];
}

int LevelExponent(double v)
{
    if (v < 1e-9)
        return -12;
    int exponent = -9;
    if (v >= 1e-6)
        exponent = -6;
    if (v >= 0.001)
        exponent = -3;
    if (v >= 1)
        exponent = 0;
    return exponent;
}

std::string LevelUnit(bool amplitudeMode)
{
    return amplitudeMode ? "В" : "Вт";
}

std::string DivisionCaption(double fullScale, bool amplitudeMode)
{
    return ValueToStr(LevelExponent(fullScale), fullScale * 0.1 * 0.5) + LevelUnit(amplitudeMode) + "/дел";
}

KindSwitch SwitchSpectrumKind(bool amplitudeMode, ScalePositions shown, ScalePositions saved)
{
    return {ScalePositionMax(amplitudeMode), saved, shown};
}

int BandFrequencyAt(int position)
{
    const int i = std::clamp(position, 1, static_cast<int>(BandTable.size())) - 1;
    return BandTable[static_cast<std::size_t>(i)] * 1000;
}

int BandPositionCount(int sampleRate)
{
    const auto count =
        std::count_if(BandTable.begin(), BandTable.end(), [&](int kHz) { return kHz * 1000 <= sampleRate * 0.5; });
    return std::max(static_cast<int>(count), 2);
}

std::string BandCaption(int frequency)
{
    return std::to_string(frequency / 1000) + " кГц";
}

PlotGeometry PlotGeometry::FromSurface(int surfaceWidth, int surfaceHeight)
{
    PlotGeometry g;
    g.SurfaceWidth = surfaceWidth;
    g.SurfaceHeight = surfaceHeight;
    g.PlotWidth = surfaceWidth - MarginLeft - MarginRight;
    g.PlotHeight = surfaceHeight - MarginTop - MarginBottom;
    return g;
}

}  // namespace mirel::spectrum
