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
                      bool amplitudeMode, int x)
{
    if (range.Count() == 0 || range.PixelsPerBin <= 0 || fftLength <= 0 || x < plot.PlotLeft || x > plot.PlotRight())
        return {};
    // Bin FirstBin + d lies d × PixelsPerBin from the left edge; only FirstBin + 1 … LastBin − 1 are shown.
    const long d = std::lround((x - plot.PlotLeft) / range.PixelsPerBin);
    CursorBin v;
    v.Inside = true;
    v.Bin = static_cast<int>(std::clamp<long>(range.FirstBin + d, range.FirstBin + 1, range.LastBin - 1));
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
    std::string text = ReadingToStr(level, amplitudeMode ? "В" : "Вт");
    if (const auto doubled = text.find("  "); doubled != std::string::npos)
        text.erase(doubled, 1);
    return std::string(channel) + ": " + text;
}

}  // namespace mirel::spectrum
