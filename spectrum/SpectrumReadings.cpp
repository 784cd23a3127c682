// The spectrum readings' readout lines and measured values; the estimators are in SpectrumFit.cpp.
#include "spectrum/SpectrumReadings.h"

#include <cmath>

namespace mirel::spectrum {

std::vector<ReadingText> ReadingLines(const SpectrumReadings& r, bool amplitudeMode)
{
    const double a = r.PeakAmplitude;
    return {
        // To the hundredth of a hertz the estimator holds for a clean tone.
        {"Частота", ReadingToStr(r.PeakFrequency, "Гц", true, DigitsFor(std::fabs(r.PeakFrequency), 0.01))},
        amplitudeMode ? ReadingText{"Амплитуда", ReadingToStr(a, "В")}
                      : ReadingText{"Мощность", ReadingToStr(a * a, "Вт")},
        {"КНИ", ReadingToStr(r.ThdPercent, "%", false)},
        {"С/Ш", ReadingToStr(r.SnrDb, "дБ", false)},
    };
}

MeasuredValues ToMeasuredValues(const SpectrumReadings& r)
{
    MeasuredValues v;
    v.PeakFrequencyHz = r.PeakFrequency;
    v.PeakAmplitudeV = r.PeakAmplitude;
    v.ThdPercent = r.ThdPercent;
    v.SnrDb = r.SnrDb;
    return v;
}

}  // namespace mirel::spectrum
