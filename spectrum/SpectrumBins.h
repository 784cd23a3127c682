#pragma once
// From transform bins to screen points: the bins of the chosen band, their levels (windowed,
// averaged, their peaks held), those levels as a fraction of the plot height, one point per bin,
// and the curve that the screen draws, with at most two points per pixel column however many bins
// share it.

#include "common/ExportText.h"
#include "common/ScreenPoint.h"
#include "spectrum/RealFft.h"
#include "spectrum/SpectrumScales.h"
#include "spectrum/SpectrumView.h"
#include "spectrum/WindowFunctions.h"

#include <complex>
#include <span>
#include <vector>

namespace mirel::spectrum {

using mirel::ScreenPoint;

// The bins at the plot's left and right edge; bins FirstBin + 1 … LastBin − 1 are shown, bin
// FirstBin + d at d × PixelsPerBin pixels from the plot's left edge.
struct BinRange {
    int FirstBin = 0;
    int LastBin = 0;
    double PixelsPerBin = 0;

    // Shown bins (none when the band holds fewer than three).
    int Count() const { return LastBin - FirstBin > 1 ? LastBin - FirstBin - 1 : 0; }
};

// FirstBin = trunc(low × N / rate + 1), LastBin = trunc(high × N / rate), never above N / 2, so
// that no bin beyond the transform's output is ever read; PixelsPerBin = plotWidth / (LastBin −
// FirstBin). A band without bins to show (or no rate, or no plot) gives an empty range.
BinRange BinRangeFor(int lowFrequency, int highFrequency, int fftLength, int sampleRate, int plotWidth);

// The bins the display shows of a band: BinRangeFor's, except that the logarithmic axis starts a
// band from 0 Hz at the first bin above it, which is shown at the plot's left edge (FirstBin 0).
BinRange ShownBinRange(int lowFrequency, int highFrequency, int fftLength, int sampleRate, int plotWidth,
                       bool logarithmic);

// The pixel column of each bin 0 … N/2 on the logarithmic axis, trunc(FrequencyX) clamped to the
// plot's left and right edges. A logarithm per bin would cost more than a whole pass, so the
// columns are kept until the axis changes.
class LogBinColumns {
public:
    // Makes the columns of this axis; nothing happens when they are already those of it.
    void Update(int lowFrequency, int highFrequency, int sampleRate, int fftLength, const PlotGeometry& geometry);
    std::span<const std::int32_t> Columns() const { return columns_; }
    std::int32_t operator[](int bin) const { return columns_[static_cast<std::size_t>(bin)]; }

private:
    struct Key {
        int Low = -1, High = -1, Rate = 0, FftLength = 0, Left = 0, Width = 0;
        bool operator==(const Key&) const = default;
    } key_;
    std::vector<std::int32_t> columns_;
};

// Value of each shown bin k as a fraction of the plot height, into values[k]: in amplitude mode
// |X(k)| / norm / fullScale, in power mode |X(k)|² / norm² / fullScale. A sine of peak P counts
// on bin k thus reads P / 32768 / fullScale (amplitude) or (P / 32768)² / fullScale (power).
void ComputeBinValues(std::span<const std::complex<double>> bins, const BinRange& range, bool amplitudeMode,
                      double norm, double fullScale, std::span<double> values);

// Point of each shown bin into points[k − FirstBin]: x = trunc(PlotLeft + d × PixelsPerBin),
// y = trunc(PlotBottom − PlotHeight × value), never above the plot's top edge.
void ComputeBinPoints(std::span<const double> values, const BinRange& range, const PlotGeometry& geometry,
                      std::span<ScreenPoint> points);

// A curve: it starts at the plot's bottom-left corner, follows the bin points with at most two
// points per pixel column and ends at the bottom-right corner. Its room follows the plot width,
// so any window size fits.
struct SpectrumCurve {
    std::vector<ScreenPoint> Points;  // Points[0 .. Used − 1] are drawn
    int Used = 0;

    std::span<const ScreenPoint> Drawn() const { return std::span(Points).first(static_cast<std::size_t>(Used)); }
    bool Exists() const { return !Points.empty(); }
};

// Points a curve may need on a plot `plotWidth` pixels wide: the two corners, the first bin's
// point and two points per column.
int CurveCapacity(int plotWidth);

// Builds `curve` from the bin points of `range`. Within one column the column's second point
// holds the topmost value, its first point the latest bin that lay below that top, so the column
// is drawn as one vertical stroke up to its largest value. The curve grows only when the plot has
// become wider than ever before.
void BuildCurve(std::span<const ScreenPoint> points, const BinRange& range, const PlotGeometry& geometry,
                SpectrumCurve& curve);

// What one processing pass needs besides the samples.
struct PassSettings {
    int SampleRate = 48000;
    int LowFrequency = 0;
    int HighFrequency = 24000;
    bool AmplitudeMode = true;
    double FullScaleA = 1;
    double FullScaleB = 1;
    bool ShowA = true;
    bool ShowB = false;
    ViewSettings View;  // window, averaging and peak hold of the levels; the curves' level scale
};

// What turns a channel's transform into its levels in the display's unit: volts of a sine's peak,
// |X(k)| / (Norm · CoherentGain), in amplitude mode; watts, that amplitude squared over the noise
// bandwidth, in power mode, so that noise reads the same density in every window.
struct LevelRule {
    bool AmplitudeMode = true;
    double Norm = 1;  // |X| of a 1 V sine on a bin of a rectangular block: N/2 · 32768
    double CoherentGain = 1;
    double NoiseBandwidth = 1;  // in bins
    int Averaging = 1;          // blocks
};

// One channel's levels per bin. The average is one of power (|X|² corrected by the coherent gain):
// the plain mean while fewer than Averaging blocks have come since the last reset, after that an
// exponential one that weights the newest block 1 / Averaging. Amplitude mode shows its square
// root. The peaks are each bin's largest level since their reset.
class ChannelLevels {
public:
    void Allocate(int bins);
    void ResetAverage();
    void ResetPeaks();
    bool Empty() const { return blocks_ == 0; }

    // Counts one more transform into the bins of `range` and makes their levels.
    void Add(std::span<const std::complex<double>> bins, const BinRange& range, const LevelRule& rule);
    void HoldPeaks(const BinRange& range);

    std::span<const double> Levels() const { return levels_; }
    std::span<const double> Peaks() const { return peaks_; }

private:
    std::vector<double> power_, levels_, peaks_;
    int blocks_ = 0;  // in the average, at most its length
};

// The computing core of the analyser: the transform, the window and the arrays of one transform
// length. Allocate() makes them for a length (nothing when it is unchanged); Run() then allocates
// nothing unless the plot has grown wider than ever before or another window is chosen.
class SpectrumPass {
public:
    void Allocate(int fftLength);
    bool Allocated() const { return fft_.Ready(); }
    int FftLength() const { return fft_.Length(); }

    // Transforms both channels (shown or not) through the chosen window, counts them into their
    // levels, maps the levels into points and builds the curves of the shown channels; a hidden
    // channel's curve keeps what it held. Averages and peaks start again when the view settings,
    // the kind, the band or the rate differ from the last pass's (or the length was allocated
    // again). With `newBlock` false the samples are those of the last pass (a frozen display
    // drawn again): they are not counted again, only transformed when the levels start again.
    void Run(std::span<const std::int16_t> samplesA, std::span<const std::int16_t> samplesB,
             const PassSettings& settings, const PlotGeometry& geometry, SpectrumCurve& curveA, SpectrumCurve& curveB,
             bool newBlock = true);
    // The curves of the held peaks, mapped as Run() maps the levels.
    void BuildPeakCurves(const PassSettings& settings, const PlotGeometry& geometry, SpectrumCurve& peakA,
                         SpectrumCurve& peakB);
    void ResetAverages();
    void ResetHold();

    // The shown bins as numbers, for saving: the frequency of each bin of Bins() in hertz
    // ("Частота") and, for each shown channel, its level in the display's unit (volts of a sine's
    // peak in amplitude mode, watts in power mode) as the last pass left it. The samples, those
    // of the last pass, are transformed again only when `settings` make the levels start again.
    DataTable ShownLevels(std::span<const std::int16_t> samplesA, std::span<const std::int16_t> samplesB,
                          const PassSettings& settings);

    const BinRange& Bins() const { return range_; }
    // Each channel's transform of the last pass, bins 0 … N/2 as RealFft gives them: of the
    // windowed block when Windowed().
    std::span<const std::complex<double>> TransformA() const { return fft_.Bins(); }
    std::span<const std::complex<double>> TransformB() const { return fftB_.Bins(); }
    bool Windowed() const { return !window_.Coefficients().empty(); }
    const WindowTable& Window() const { return window_; }
    // The shown levels in the display's unit and their peaks, index = bin; bins of the band only.
    std::span<const double> LevelsA() const { return levelsA_.Levels(); }
    std::span<const double> LevelsB() const { return levelsB_.Levels(); }
    std::span<const double> PeakLevelsA() const { return levelsA_.Peaks(); }
    std::span<const double> PeakLevelsB() const { return levelsB_.Peaks(); }
    // Each bin's point of the last pass on the linear scale (the dB scale builds only the curves).
    std::span<const ScreenPoint> BinPointsA() const { return pointsA_; }
    std::span<const ScreenPoint> BinPointsB() const { return pointsB_; }

private:
    void Update(std::span<const std::int16_t> samplesA, std::span<const std::int16_t> samplesB,
                const PassSettings& settings, int plotWidth, bool newBlock);
    // Maps `levels` into `points` and builds `curve` (when given) from them; on the dB scale only
    // the curve is built.
    void Curve(std::span<const double> levels, const PassSettings& settings, double fullScale,
               const PlotGeometry& geometry, std::span<ScreenPoint> points, SpectrumCurve* curve);

    LogBinColumns logColumns_;

    RealFft fft_, fftB_;  // channel A's and channel B's
    WindowTable window_;
    ChannelLevels levelsA_, levelsB_;
    PassSettings held_;  // the settings the levels were made for
    bool holding_ = false;
    int plotWidth_ = 0;
    std::vector<ScreenPoint> pointsA_, pointsB_, peakPoints_;
    std::vector<double> prefix_;  // the largest level so far in a column
    BinRange range_, levelRange_;
};

}  // namespace mirel::spectrum
