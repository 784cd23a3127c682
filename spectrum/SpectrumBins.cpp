#include "spectrum/SpectrumBins.h"

#include <algorithm>
#include <cmath>

namespace mirel::spectrum {

BinRange BinRangeFor(int lowFrequency, int highFrequency, int fftLength, int sampleRate, int plotWidth)
{
    if (sampleRate <= 0 || fftLength < 2 || plotWidth < 1)
        return {};
    const double half = fftLength / 2;
    const double first = std::trunc(static_cast<double>(lowFrequency) * fftLength / sampleRate + 1);
    const double last = std::trunc(static_cast<double>(highFrequency) * fftLength / sampleRate);
    BinRange range;
    range.FirstBin = static_cast<int>(std::clamp(first, 0.0, half));
    range.LastBin = static_cast<int>(std::clamp(last, 0.0, half));
    if (range.LastBin > range.FirstBin)
        range.PixelsPerBin = static_cast<double>(plotWidth) / (range.LastBin - range.FirstBin);
    return range;
}

void ComputeBinValues(std::span<const std::complex<double>> bins, const BinRange& range, bool amplitudeMode,
                      double norm, double fullScale, std::span<double> values)
{
    const auto end =
        static_cast<int>(std::min({static_cast<std::size_t>(std::max(range.LastBin, 0)), bins.size(), values.size()}));
    const auto at = [](auto& array, int k) -> auto&
    {
        return array[static_cast<std::size_t>(k)];
    };
    if (amplitudeMode) {
        const double c = 1 / norm / fullScale;
        for (int k = range.FirstBin + 1; k < end; ++k)
            at(values, k) = std::sqrt(std::norm(at(bins, k))) * c;
    } else {
        const double c = 1 / norm / norm / fullScale;
        for (int k = range.FirstBin + 1; k < end; ++k)
            at(values, k) = std::norm(at(bins, k)) * c;
    }
}

void ComputeBinPoints(std::span<const double> values, const BinRange& range, const PlotGeometry& g,
                      std::span<ScreenPoint> points)
{
    const int count = std::min(range.Count(), static_cast<int>(points.size()) - 1);
    const double top = g.PlotTop;
    const double bottom = g.PlotBottom();
    for (int d = 1; d <= count; ++d) {
        const auto k = static_cast<std::size_t>(range.FirstBin + d);
        if (k >= values.size())
            break;
        // Clipped before the conversion, which truncates toward zero, so that no value overflows it.
        double y = bottom - g.PlotHeight * values[k];
        if (!(y >= top))  // above full height, or not a number at all
            y = top;
        points[static_cast<std::size_t>(d)] = {static_cast<std::int32_t>(d * range.PixelsPerBin + g.PlotLeft),
                                               static_cast<std::int32_t>(y)};
    }
}

int CurveCapacity(int plotWidth)
{
    return 2 * std::max(plotWidth, 1) + 3;
}

void BuildCurve(std::span<const ScreenPoint> points, const BinRange& range, const PlotGeometry& g, SpectrumCurve& curve)
{
    const int capacity = CurveCapacity(g.PlotWidth);
    curve.Points.resize(static_cast<std::size_t>(capacity));
    auto entry = [&](int i) -> ScreenPoint& { return curve.Points[static_cast<std::size_t>(i)]; };

    entry(0) = {g.PlotLeft, g.PlotBottom()};
    int last = 0;
    const int count = std::min(range.Count(), static_cast<int>(points.size()) - 1);
    if (count > 0) {
        entry(1) = points[1];
        last = 1;
    }
    for (int d = 1; d <= count; ++d) {
        const ScreenPoint p = points[static_cast<std::size_t>(d)];
        if (d == 1 || p.x != points[static_cast<std::size_t>(d - 1)].x) {
            if (last + 4 > capacity)
                break;  // cannot happen while columns lie inside the plot; keeps the corner's room
            entry(last + 1) = p;
            entry(last + 2) = p;
            last += 2;
        } else {
            if (p.y < entry(last).y)
                entry(last).y = p.y;
            if (p.y > entry(last).y)
                entry(last - 1).y = p.y;
        }
    }
    std::fill(curve.Points.begin() + last + 1, curve.Points.end(), ScreenPoint{g.PlotRight(), g.PlotBottom()});
    curve.Used = last + 2;
}

void SpectrumPass::Allocate(int fftLength)
{
    fft_.SetLength(fftLength);
    fftB_.SetLength(fftLength);
    const auto half = static_cast<std::size_t>(std::max(fftLength / 2, 0));
    values_.assign(half, 0);
    pointsA_.assign(half, {});
    pointsB_.assign(half, {});
    range_ = {};
}

void SpectrumPass::Channel(RealFft& fft, std::span<const std::int16_t> samples, bool amplitudeMode, double fullScale,
                           const PlotGeometry& geometry, std::span<ScreenPoint> points)
{
    const double norm = static_cast<double>(fft.Length() / 2) * 32768;
    fft.Transform(samples);
    ComputeBinValues(fft.Bins(), range_, amplitudeMode, norm, fullScale, values_);
    ComputeBinPoints(values_, range_, geometry, points);
}

void SpectrumPass::Run(std::span<const std::int16_t> samplesA, std::span<const std::int16_t> samplesB,
                       const PassSettings& s, const PlotGeometry& geometry, SpectrumCurve& curveA,
                       SpectrumCurve& curveB)
{
    if (!Allocated())
        return;
    range_ = BinRangeFor(s.LowFrequency, s.HighFrequency, fft_.Length(), s.SampleRate, geometry.PlotWidth);
    Channel(fft_, samplesA, s.AmplitudeMode, s.FullScaleA, geometry, pointsA_);
    Channel(fftB_, samplesB, s.AmplitudeMode, s.FullScaleB, geometry, pointsB_);
    if (s.ShowA)
        BuildCurve(pointsA_, range_, geometry, curveA);
    if (s.ShowB)
        BuildCurve(pointsB_, range_, geometry, curveB);
}

DataTable SpectrumPass::ShownLevels(std::span<const std::int16_t> samplesA, std::span<const std::int16_t> samplesB,
                                    const PassSettings& s)
{
    DataTable table{{"Частота", "Гц", {}}};
    if (!Allocated() || s.SampleRate <= 0)
        return table;
    const int first = range_.FirstBin + 1;
    const int end = std::min(range_.LastBin, static_cast<int>(values_.size()));
    for (int k = first; k < end; ++k)
        table[0].Values.push_back(static_cast<double>(k) * s.SampleRate / fft_.Length());
    const double norm = static_cast<double>(fft_.Length() / 2) * 32768;
    auto channel = [&](const char* name, RealFft& fft, std::span<const std::int16_t> samples) {
        fft.Transform(samples);
        ComputeBinValues(fft.Bins(), range_, s.AmplitudeMode, norm, 1.0, values_);
        DataColumn column{name, s.AmplitudeMode ? "В" : "Вт", {}};
        for (int k = first; k < end; ++k)
            column.Values.push_back(values_[static_cast<std::size_t>(k)]);
        table.push_back(std::move(column));
    };
    if (s.ShowA)
        channel("Канал A", fft_, samplesA);
    if (s.ShowB)
        channel("Канал B", fftB_, samplesB);
    return table;
}

}  // namespace mirel::spectrum
