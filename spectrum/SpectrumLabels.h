#pragma once
// Texts and grid of the spectrum display: frequency labels under the plot with their unit, level
// labels and channel captions at both sides, the zero marks, and where the dotted grid lines go.
// The window draws the texts as they come, each on an opaque background.

#include "common/PlotText.h"
#include "spectrum/SpectrumScales.h"

#include <string>
#include <vector>

namespace mirel::spectrum {

// Grid and label spacing of the band over the plot width (GetFreqStep).
int FreqStep(const PlotGeometry& geometry, int lowFrequency, int highFrequency);

// A frequency label: kHz with a decimal comma; «,0» is added to whole kHz when the step is below
// 1 kHz, so that 2 reads «2,0» between «1,5» and «2,5».
std::string FreqLabelText(int frequency, int step);

// `PaintFreqLabels`: the unit «кГц» (bold), then one label per step from the lower band edge,
// both edges included when the band is a multiple of the step.
AxisTexts FreqLabels(const PlotGeometry& geometry, int lowFrequency, int highFrequency);

// The 20 level values from the lowest grid line up to full height, as the labels write them.
std::vector<std::string> LevelLabelTexts(double fullScale);
// «Канал A (мВ)», «Канал B (Вт)»: the prefix of the full-height value and the unit of the kind.
std::string ChannelCaption(char channel, double fullScale, bool amplitudeMode);

// `PaintLevelLabels`, one side at a time: the strip cleared, the 20 labels (right-aligned against
// the plot for A, left-aligned after it for B), the old caption erased by blanks, the caption,
// and the zero of the axis.
AxisTexts LevelLabelsA(const PlotGeometry& geometry, double fullScaleA, bool amplitudeMode);
AxisTexts LevelLabelsB(const PlotGeometry& geometry, double fullScaleB, bool amplitudeMode);

// x of the dotted vertical lines: one per step from the lower band edge, inside the plot only.
std::vector<int> FreqGridLines(const PlotGeometry& geometry, int lowFrequency, int highFrequency);

}  // namespace mirel::spectrum
