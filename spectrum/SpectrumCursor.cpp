#include "spectrum/SpectrumCursor.h"

#include "common/ValueFormat.h"

#include <algorithm>
#include <cmath>

namespace mirel::spectrum {

namespace {

// The level of bin k as the curves draw it at full scale 1.
double Level(std::span<const std::complex<double>> bins, int k, double norm, bool amplitudeMode)
{
    if (k < 0 || static_cast<std::size_t>(k) >= bins.size())
        return 0;
    const double power = std::norm(bins[static_cast<std::size_t>(k)]) / norm / norm;
    return amplitudeMode ? std::sqrt(power) : power;
}

}  // namespace

CursorBin BinAtColumn(std::span<const std::complex<double>> a, std::span<const std::complex<double>> b,
                      const BinRange& range, const PlotGeometry& plot, int fftLength, int sampleRate,
                      bool amplitudeMode, bool leadA, int x)
{
    if (range.Count() == 0 || range.PixelsPerBin <= 0 || fftLength <= 0 || x < plot.PlotLeft || x > plot.PlotRight())
        return {};
    // Bin FirstBin + d lies in column PlotLeft + trunc(d × PixelsPerBin); only FirstBin + 1 … LastBin − 1
    // are shown.
    const auto shown = [&](double k) {
        return static_cast<int>(std::clamp<double>(k, range.FirstBin + 1, range.LastBin - 1));
    };
    const double from = (x - plot.PlotLeft) / range.PixelsPerBin;
    const int first = shown(range.FirstBin + std::ceil(from));
    const int last = shown(range.FirstBin + std::ceil(from + 1 / range.PixelsPerBin) - 1);
    CursorBin v;
    v.Inside = true;
    v.Bin = shown(range.FirstBin + std::round(from));
    // A column that several bins share shows the strongest: its curve rises to it there.
    if (last > first) {
        const std::span<const std::complex<double>> lead = leadA ? a : b;
        v.Bin = first;
        for (int k = first + 1; k <= last && static_cast<std::size_t>(k) < lead.size(); ++k)
            if (std::norm(lead[static_cast<std::size_t>(k)]) > std::norm(lead[static_cast<std::size_t>(v.Bin)]))
                v.Bin = k;
    }
    v.Frequency = static_cast<double>(v.Bin) * sampleRate / fftLength;
    const double norm = static_cast<double>(fftLength / 2) * 32768;
    v.A = Level(a, v.Bin, norm, amplitudeMode);
    v.B = Level(b, v.Bin, norm, amplitudeMode);
    return v;
}

std::string FrequencyText(double hertz)
{
    return "f = " + ValueToStr(hertz < 10000 ? 0 : 3, hertz) + "Гц";
}

std::string LevelText(const char* channel, double level, bool amplitudeMode)
{
    return std::string(channel) + ": " + ReadingToStr(level, amplitudeMode ? "В" : "Вт");
}

}  // namespace mirel::spectrum
