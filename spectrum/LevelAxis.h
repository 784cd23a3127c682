#pragma once
// The level scale in decibels: where a level stands on the plot (dBV of a sine's peak for the
// amplitude spectrum, dBW for the power spectrum), the grid lines of the scale and its labels and
// captions at both sides.

#include "common/PlotText.h"
#include "spectrum/SpectrumScales.h"
#include "spectrum/SpectrumView.h"

#include <string>
#include <vector>

namespace mirel::spectrum {

// 20·lg(level) for the amplitude kind (volts), 10·lg(level) for the power kind (watts); −∞ for 0.
double LevelDb(double level, bool amplitudeKind);

// A level as a fraction of the plot height. Linear scale: level / fullScale. Decibels: 0 at the
// scale's bottom (TopDb − SpanDb), 1 at TopDb; anything below the bottom (0, NaN too) stays on the
// bottom edge, values above 1 are left for the caller to clip as on the linear scale.
double LevelFraction(double level, bool amplitudeKind, const ViewSettings& view, double fullScale);
// The same for a value already in decibels.
double DbFraction(double db, const ViewSettings& view);

// A label's line and the least distance between two labels every 10 dB: a line and almost as much
// free room, so that the numbers stand apart at a glance. Closer than that, every 20 dB.
inline constexpr int DbLabelLine = 13;
inline constexpr int DbLabelPitch = 24;

// The decibels between grid lines (and labels) on this plot: 10, or 20 where a 10 dB step would
// come closer than DbLabelPitch pixels.
int DbStep(const PlotGeometry& geometry, const ViewSettings& view);

// One grid level of the scale and its row: trunc(PlotBottom − PlotHeight × fraction), the row a
// level of exactly those decibels is drawn in.
struct DbLine {
    int Db = 0;
    int Y = 0;
};
// Every DbStep from the top of the scale down to its bottom, both edges included, top first.
std::vector<DbLine> DbLines(const PlotGeometry& geometry, const ViewSettings& view);

// "+10", "0", "-20".
std::string DbLabelText(int db);
// Advance of a bold label of digits, signs and decimal commas in the display's font, in pixels:
// 8 per digit, 9 for '+', 5 for '-', 4 for ','.
int BoldAdvance(const std::string& text);
// «дБВ» for the amplitude kind, «дБВт» for the power kind.
std::string DbUnit(bool amplitudeKind);
// «Канал A (дБВ)» for the amplitude kind, «Канал B (дБВт)» for the power kind.
std::string DbCaption(char channel, bool amplitudeKind);
// The row of the captions in the top margin, a row higher than the linear scale's: «д» reaches
// below the line.
int CaptionY(const PlotGeometry& geometry);

// As LevelLabelsA / LevelLabelsB draw the linear scale: the strip cleared, one label per grid
// level (right-aligned against the plot for A, left-aligned after it for B; the bottom one above
// the bottom edge), the old caption erased by blanks and the caption, right-aligned for B.
AxisTexts DbLabelsA(const PlotGeometry& geometry, const ViewSettings& view, bool amplitudeKind);
AxisTexts DbLabelsB(const PlotGeometry& geometry, const ViewSettings& view, bool amplitudeKind);

}  // namespace mirel::spectrum
