#pragma once
// The frequency axis of the spectrum display, linear or logarithmic: where a frequency stands on
// the plot and back, the bins that fall in a pixel column, and the logarithmic axis's grid lines
// at 1, 2 and 5 of each decade with their labels.

#include "common/PlotText.h"
#include "spectrum/SpectrumScales.h"

#include <string>
#include <vector>

namespace mirel::spectrum {

// The frequencies at the plot's left and right edges and how the plot maps between them.
struct FrequencyScale {
    double Low = 0;  // Hz at the left edge
    double High = 0;
    bool Logarithmic = false;
    int Left = 0;  // the plot's left edge and width in pixels
    int Width = 0;

    bool Valid() const { return Width > 0 && High > Low && (!Logarithmic || Low > 0); }
};

// The scale of the band lowFrequency … highFrequency on the plot. A logarithmic scale cannot
// start at 0 Hz: a band from 0 starts at the first bin above it, sampleRate / fftLength.
FrequencyScale FrequencyScaleFor(const PlotGeometry& geometry, int lowFrequency, int highFrequency, bool logarithmic,
                                 int fftLength, int sampleRate);

// x of a frequency: Left + Width × (f − Low) / (High − Low), or Left + Width × ln(f / Low) /
// ln(High / Low) on the logarithmic scale; it stands in pixel column trunc(x). On the logarithmic
// scale 0 Hz (and below) has no place: −∞.
double FrequencyX(double hz, const FrequencyScale& scale);
// The frequency at x, the inverse of FrequencyX.
double FrequencyAtX(double x, const FrequencyScale& scale);

// The bin nearest the frequency at x, within 1 … fftLength / 2: the cursor's bin.
int BinAtX(double x, const FrequencyScale& scale, int fftLength, int sampleRate);
// The lowest bin k whose FrequencyX(k × rate / N) is at least x, exactly as FrequencyX rounds, so
// that pixel column c holds bins FirstBinFromX(c) … FirstBinFromX(c + 1) − 1 (possibly none).
int FirstBinFromX(double x, const FrequencyScale& scale, int fftLength, int sampleRate);

// A label of the logarithmic axis: "20", "500", "0,5", "1к", "20к", "2,5к".
std::string LogFrequencyText(double hz);

// The frequencies of the logarithmic grid: 1, 2 and 5 of each decade inside the band; 1 … 9 of
// each decade when fewer than two of those fall inside; the band's edges when even those do not.
std::vector<double> LogGridFrequencies(const FrequencyScale& scale);
// x of the dotted vertical lines of the logarithmic axis, inside the plot only.
std::vector<int> LogFreqGridLines(const FrequencyScale& scale);

// The labels of the logarithmic axis: the unit «Гц» (bold) where the linear axis writes «кГц»,
// then a label centred under each grid frequency; where neighbours would come too close, fewer:
// 1, 2 and 5 only, then decades only, then every second decade, and so on.
AxisTexts LogFreqLabels(const PlotGeometry& geometry, const FrequencyScale& scale);

}  // namespace mirel::spectrum
