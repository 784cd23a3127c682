#include "spectrum/SpectrumBins.h"

#include "spectrum/FrequencyAxis.h"
#include "spectrum/LevelAxis.h"

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

BinRange ShownBinRange(int lowFrequency, int highFrequency, int fftLength, int sampleRate, int plotWidth,
                       bool logarithmic)
{
    BinRange range = BinRangeFor(lowFrequency, highFrequency, fftLength, sampleRate, plotWidth);
    if (logarithmic && lowFrequency == 0 && range.LastBin > 1)
        range.FirstBin = 0;
    return range;
}

void LogBinColumns::Update(int lowFrequency, int highFrequency, int sampleRate, int fftLength, const PlotGeometry& g)
{
    const Key key{lowFrequency, highFrequency, sampleRate, fftLength, g.PlotLeft, g.PlotWidth};
    if (key == key_ && !columns_.empty())
        return;
    key_ = key;
    const FrequencyScale scale = FrequencyScaleFor(g, lowFrequency, highFrequency, true, fftLength, sampleRate);
    const double hzPerBin = static_cast<double>(sampleRate) / fftLength;
    columns_.resize(static_cast<std::size_t>(fftLength / 2 + 1));
    for (std::size_t k = 0; k < columns_.size(); ++k) {
        const double x = FrequencyX(static_cast<double>(k) * hzPerBin, scale);
        columns_[k] = static_cast<std::int32_t>(std::clamp(x, double(g.PlotLeft), double(g.PlotRight())));
    }
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

namespace {

// ComputeBinPoints with each value made by `toFraction` from the level held for its bin.
template <class ToFraction>
void LevelPoints(std::span<const double> levels, const ToFraction& toFraction, const BinRange& range,
                 const PlotGeometry& g, std::span<ScreenPoint> points)
{
    const int count = std::min(range.Count(), static_cast<int>(points.size()) - 1);
    const double top = g.PlotTop;
    const double bottom = g.PlotBottom();
    for (int d = 1; d <= count; ++d) {
        const auto k = static_cast<std::size_t>(range.FirstBin + d);
        if (k >= levels.size())
            break;
        // Clipped before the conversion, which truncates toward zero, so that no value overflows it.
        double y = bottom - g.PlotHeight * toFraction(levels[k]);
        if (!(y >= top))  // above full height, or not a number at all
            y = top;
        points[static_cast<std::size_t>(d)] = {static_cast<std::int32_t>(d * range.PixelsPerBin + g.PlotLeft),
                                               static_cast<std::int32_t>(y)};
    }
}

}  // namespace

void ComputeBinPoints(std::span<const double> values, const BinRange& range, const PlotGeometry& g,
                      std::span<ScreenPoint> points)
{
    LevelPoints(
        values, [](double value) { return value; }, range, g, points);
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

namespace {

// BuildCurve for the points that `row` (a level's row on the plot, never rising as the level
// falls) gives each bin, asking `row` only for what the curve keeps: per column the row of its
// largest level, and, from its last bin backwards, the first bin lying below the largest level
// of the column's bins up to it (the column's first bin when none does).
template <class Row, class Column>
void BuildCurveFromLevels(std::span<const double> levels, const BinRange& range, const PlotGeometry& g, const Row& row,
                          const Column& column, std::span<double> prefix, SpectrumCurve& curve)
{
    const int capacity = CurveCapacity(g.PlotWidth);
    curve.Points.resize(static_cast<std::size_t>(capacity));
    auto entry = [&](int i) -> ScreenPoint& { return curve.Points[static_cast<std::size_t>(i)]; };
    auto level = [&](int d) { return levels[static_cast<std::size_t>(range.FirstBin + d)]; };

    entry(0) = {g.PlotLeft, g.PlotBottom()};
    int last = 0;
    const int count = std::min(
        {range.Count(), static_cast<int>(levels.size()) - range.FirstBin - 1, static_cast<int>(prefix.size())});
    if (count > 0) {
        entry(1) = {column(1), row(level(1))};
        last = 1;
    }
    for (int d = 1, end = 1; d <= count; d = end + 1) {
        if (last + 4 > capacity)
            break;  // as in BuildCurve
        const std::int32_t x = column(d);
        double top = level(d);
        prefix[0] = top;
        for (end = d; end < count && column(end + 1) == x;) {
            ++end;
            top = std::max(top, level(end));
            prefix[static_cast<std::size_t>(end - d)] = top;
        }
        const int topRow = row(top);
        int firstRow = topRow;
        if (topRow < g.PlotBottom()) {  // otherwise every bin of the column lies on the bottom edge
            bool below = false;
            double known = top;
            int knownRow = topRow;
            for (int b = end; b > d && !below; --b) {
                const double highest = prefix[static_cast<std::size_t>(b - d)];
                if (!(level(b) < highest))
                    continue;  // the column's top so far, on its row
                if (highest != known) {
                    known = highest;
                    knownRow = row(highest);
                }
                firstRow = row(level(b));
                below = firstRow > knownRow;
            }
            if (!below)
                firstRow = level(d) == top ? topRow : row(level(d));
        }
        entry(last + 1) = {x, firstRow};
        entry(last + 2) = {x, topRow};
        last += 2;
    }
    std::fill(curve.Points.begin() + last + 1, curve.Points.end(), ScreenPoint{g.PlotRight(), g.PlotBottom()});
    curve.Used = last + 2;
}

// Whether levels made for `held` are no longer those asked for by `now`.
bool StartAgain(const PassSettings& held, const PassSettings& now)
{
    return held.View != now.View || held.AmplitudeMode != now.AmplitudeMode || held.LowFrequency != now.LowFrequency ||
           held.HighFrequency != now.HighFrequency || held.SampleRate != now.SampleRate;
}

// The bins of `range` that both arrays hold: first … end − 1.
int EndOf(const BinRange& range, std::size_t a, std::size_t b)
{
    return static_cast<int>(std::min({static_cast<std::size_t>(std::max(range.LastBin, 0)), a, b}));
}

}  // namespace

void ChannelLevels::Allocate(int bins)
{
    const auto size = static_cast<std::size_t>(std::max(bins, 0));
    power_.assign(size, 0);
    levels_.assign(size, 0);
    peaks_.assign(size, 0);
    blocks_ = 0;
}

void ChannelLevels::ResetAverage()
{
    std::fill(power_.begin(), power_.end(), 0.0);
    blocks_ = 0;
}

void ChannelLevels::ResetPeaks()
{
    std::fill(peaks_.begin(), peaks_.end(), 0.0);
}

void ChannelLevels::Add(std::span<const std::complex<double>> bins, const BinRange& range, const LevelRule& rule)
{
    const double norm = rule.Norm * rule.CoherentGain;
    if (rule.Averaging <= 1) {
        // One block: ComputeBinValues' value with the gain-corrected norm and, for power, the
        // noise bandwidth in place of the full scale.
        ComputeBinValues(bins, range, rule.AmplitudeMode, norm, rule.AmplitudeMode ? 1.0 : rule.NoiseBandwidth,
                         levels_);
        blocks_ = 1;
        return;
    }
    blocks_ = std::min(blocks_ + 1, rule.Averaging);
    const double scale = 1 / (norm * norm);
    const double weight = 1.0 / blocks_;
    const double toWatts = 1 / rule.NoiseBandwidth;
    const int end = EndOf(range, bins.size(), levels_.size());
    auto average = [&](auto toLevel) {
        for (auto k = static_cast<std::size_t>(range.FirstBin + 1); k < static_cast<std::size_t>(end); ++k) {
            double& power = power_[k];
            power += weight * (std::norm(bins[k]) * scale - power);
            levels_[k] = toLevel(power);
        }
    };
    if (rule.AmplitudeMode)
        average([](double power) { return std::sqrt(power); });
    else
        average([toWatts](double power) { return power * toWatts; });
}

void ChannelLevels::HoldPeaks(const BinRange& range)
{
    const int end = EndOf(range, levels_.size(), peaks_.size());
    for (auto k = static_cast<std::size_t>(range.FirstBin + 1); k < static_cast<std::size_t>(end); ++k)
        peaks_[k] = std::max(peaks_[k], levels_[k]);
}

void SpectrumPass::Allocate(int fftLength)
{
    fft_.SetLength(fftLength);
    fftB_.SetLength(fftLength);
    const auto half = static_cast<std::size_t>(std::max(fftLength / 2, 0));
    pointsA_.assign(half, {});
    pointsB_.assign(half, {});
    peakPoints_.assign(half, {});
    prefix_.assign(half, 0);
    levelsA_.Allocate(static_cast<int>(half));
    levelsB_.Allocate(static_cast<int>(half));
    holding_ = false;
    range_ = {};
}

void SpectrumPass::ResetAverages()
{
    levelsA_.ResetAverage();
    levelsB_.ResetAverage();
}

void SpectrumPass::ResetHold()
{
    levelsA_.ResetPeaks();
    levelsB_.ResetPeaks();
}

void SpectrumPass::Update(std::span<const std::int16_t> samplesA, std::span<const std::int16_t> samplesB,
                          const PassSettings& s, int plotWidth, bool newBlock)
{
    const int n = fft_.Length();
    plotWidth_ = plotWidth;
    range_ = ShownBinRange(s.LowFrequency, s.HighFrequency, n, s.SampleRate, plotWidth, s.View.LogFrequency);
    levelRange_ = ShownBinRange(s.LowFrequency, s.HighFrequency, n, s.SampleRate, 1, s.View.LogFrequency);
    window_.Set(s.View.Window, n);
    const bool startAgain = !holding_ || StartAgain(held_, s);
    if (startAgain) {
        ResetAverages();
        ResetHold();
        held_ = s;
        holding_ = true;
    }
    if (newBlock || startAgain || levelsA_.Empty()) {
        const LevelRule rule{s.AmplitudeMode, static_cast<double>(n / 2) * 32768, window_.CoherentGain(),
                             window_.NoiseBandwidth(), s.View.Averaging};
        fft_.Transform(samplesA, window_.Coefficients());
        levelsA_.Add(fft_.Bins(), levelRange_, rule);
        fftB_.Transform(samplesB, window_.Coefficients());
        levelsB_.Add(fftB_.Bins(), levelRange_, rule);
    }
    if (s.View.PeakHold) {
        levelsA_.HoldPeaks(levelRange_);
        levelsB_.HoldPeaks(levelRange_);
    }
}

void SpectrumPass::Curve(std::span<const double> levels, const PassSettings& s, double fullScale, const PlotGeometry& g,
                         std::span<ScreenPoint> points, SpectrumCurve* curve)
{
    if (s.View.LogFrequency) {
        // Each bin in the column of its frequency on the logarithmic axis; the level's row on
        // either scale.
        logColumns_.Update(s.LowFrequency, s.HighFrequency, s.SampleRate, fft_.Length(), g);
        const auto column = [this](int d) { return logColumns_[range_.FirstBin + d]; };
        const auto row = [&](double level) {
            const double y = g.PlotBottom() - g.PlotHeight * LevelFraction(level, s.AmplitudeMode, s.View, fullScale);
            return static_cast<int>(y >= g.PlotTop ? y : g.PlotTop);
        };
        if (curve)
            BuildCurveFromLevels(levels, range_, g, row, column, prefix_, *curve);
        return;
    }
    if (!s.View.Decibels) {
        // Full scale at the top; times the inverse, as the plain display has always computed it.
        LevelPoints(
            levels, [inverse = 1 / fullScale](double level) { return level * inverse; }, range_, g, points);
        if (curve)
            BuildCurve(points, range_, g, *curve);
        return;
    }
    // A logarithm per bin would cost more than the rest of the pass: only the rows that the curve
    // keeps are computed.
    const auto row = [&](double level) {
        const double y = g.PlotBottom() - g.PlotHeight * LevelFraction(level, s.AmplitudeMode, s.View, fullScale);
        return static_cast<int>(y >= g.PlotTop ? y : g.PlotTop);
    };
    const auto column = [&](int d) { return static_cast<std::int32_t>(d * range_.PixelsPerBin + g.PlotLeft); };
    if (curve)
        BuildCurveFromLevels(levels, range_, g, row, column, prefix_, *curve);
}

void SpectrumPass::Run(std::span<const std::int16_t> samplesA, std::span<const std::int16_t> samplesB,
                       const PassSettings& s, const PlotGeometry& geometry, SpectrumCurve& curveA,
                       SpectrumCurve& curveB, bool newBlock)
{
    if (!Allocated())
        return;
    Update(samplesA, samplesB, s, geometry.PlotWidth, newBlock);
    Curve(levelsA_.Levels(), s, s.FullScaleA, geometry, pointsA_, s.ShowA ? &curveA : nullptr);
    Curve(levelsB_.Levels(), s, s.FullScaleB, geometry, pointsB_, s.ShowB ? &curveB : nullptr);
}

void SpectrumPass::BuildPeakCurves(const PassSettings& s, const PlotGeometry& geometry, SpectrumCurve& peakA,
                                   SpectrumCurve& peakB)
{
    if (!Allocated())
        return;
    if (s.ShowA)
        Curve(levelsA_.Peaks(), s, s.FullScaleA, geometry, peakPoints_, &peakA);
    if (s.ShowB)
        Curve(levelsB_.Peaks(), s, s.FullScaleB, geometry, peakPoints_, &peakB);
}

DataTable SpectrumPass::ShownLevels(std::span<const std::int16_t> samplesA, std::span<const std::int16_t> samplesB,
                                    const PassSettings& s)
{
    DataTable table{{"Частота", "Гц", {}}};
    if (!Allocated() || s.SampleRate <= 0)
        return table;
    Update(samplesA, samplesB, s, plotWidth_, false);
    const int first = range_.FirstBin + 1;
    const int end = std::min(range_.LastBin, static_cast<int>(levelsA_.Levels().size()));
    for (int k = first; k < end; ++k)
        table[0].Values.push_back(static_cast<double>(k) * s.SampleRate / fft_.Length());
    auto channel = [&](const char* name, const ChannelLevels& levels) {
        DataColumn column{name, s.AmplitudeMode ? "В" : "Вт", {}};
        for (int k = first; k < end; ++k)
            column.Values.push_back(levels.Levels()[static_cast<std::size_t>(k)]);
        table.push_back(std::move(column));
    };
    if (s.ShowA)
        channel("Канал A", levelsA_);
    if (s.ShowB)
        channel("Канал B", levelsB_);
    return table;
}

}  // namespace mirel::spectrum
