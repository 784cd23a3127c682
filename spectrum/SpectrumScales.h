#pragma once
// Scales of the spectrum analyser: transform length per accuracy position, the full-height tables
// of the amplitude and power spectra with their captions, the frequency band table and the plot
// area inside the drawing surface.

#include "common/PlotRect.h"

#include <array>
#include <string>

namespace mirel::spectrum {

// ---- Transform length ----

inline constexpr int AccuracyPositionMax = 4;
inline constexpr int AccuracyPositionAtStart = 4;
inline constexpr int ShortestFftLength = 2048;

// What one accuracy position sets: 2^position, the transform length (also the frames per capture
// block), its half (the number of bins) and the normaliser that makes a full-scale sine read 1.
struct TransformSize {
    int AccuracyFactor = 1;
    int FftLength = ShortestFftLength;
    int HalfLength = ShortestFftLength / 2;
    int Norm = ShortestFftLength / 2 * 32768;
};
// Positions outside 0..4 are taken as the nearest end.
TransformSize TransformSizeAt(int position);

// ---- Level scales ----

inline constexpr int AmplitudePositionMax = 26;
inline constexpr int PowerPositionMax = 44;
// Positions of both scale track bars in the layout, and the ones kept for the other spectrum kind
// when the window is made.
inline constexpr int LayoutScalePosition = 21;
inline constexpr int SavedScalePositionAtStart = 15;

// Full-height values: 1, 2, 4 times a power of ten, from 1e-7 (amplitude) or 1e-12 (power) up;
// 1.0 stands at position 21 (amplitude) and 36 (power).
extern const std::array<double, AmplitudePositionMax + 1> AmplitudeScaleTable;
extern const std::array<double, PowerPositionMax + 1> PowerScaleTable;

int ScalePositionMax(bool amplitudeMode);
// The full-height value of a track-bar position; positions outside the table take its nearest end.
double FullScaleAt(bool amplitudeMode, int position);

// Prefix exponent for a full-height value v: 0 from 1, −3 from 0.001, −6 from 1e-6, −9 from 1e-9,
// −12 below.
int LevelExponent(double v);
// «В» for the amplitude spectrum, «Вт» for the power spectrum.
std::string LevelUnit(bool amplitudeMode);
// One of the 20 vertical divisions at full height v, with the prefix chosen from v: «50 мВ/дел».
std::string DivisionCaption(double fullScale, bool amplitudeMode);

// Swapping the spectrum kind: each kind keeps its own pair of scale positions. `shown` are the
// positions on the track bars before the switch (read before their maximum changes).
struct ScalePositions {
    int A = SavedScalePositionAtStart;
    int B = SavedScalePositionAtStart;
};
struct KindSwitch {
    int Maximum;           // of both track bars for the new kind
    ScalePositions Shown;  // the positions to put on the track bars
    ScalePositions Saved;  // kept for the kind just left
};
KindSwitch SwitchSpectrumKind(bool amplitudeMode, ScalePositions shown, ScalePositions saved);

// ---- Frequency band ----

// Band edges in kHz, indexed by track-bar position − 1.
inline constexpr std::array<int, 17> BandTable = {0, 2, 4, 6, 8, 11, 12, 14, 16, 18, 22, 24, 30, 35, 40, 44, 48};

// The band edge at a track-bar position (1-based) in Hz; positions outside take the nearest end.
int BandFrequencyAt(int position);
// How many band positions lie at or below half the sample rate (at least 2, so that the upper
// edge can always stand above the lower one): 12 at 48000 Hz, 11 at 44100 Hz, 3 at 8000 Hz.
int BandPositionCount(int sampleRate);
// «24 кГц».
std::string BandCaption(int frequency);

// ---- Plot area ----

inline constexpr int MarginLeft = 40;
inline constexpr int MarginTop = 20;
inline constexpr int MarginRight = 40;
inline constexpr int MarginBottom = 20;
inline constexpr int LevelDivisions = 20;

struct PlotGeometry {
    int SurfaceWidth = 0;
    int SurfaceHeight = 0;
    int PlotLeft = MarginLeft;
    int PlotTop = MarginTop;
    int PlotWidth = 0;  // may be 0 or negative on a surface smaller than its margins
    int PlotHeight = 0;

    static PlotGeometry FromSurface(int surfaceWidth, int surfaceHeight);
    int PlotBottom() const { return PlotTop + PlotHeight; }
    int PlotRight() const { return PlotLeft + PlotWidth; }
    PlotRect Plot() const { return {double(PlotLeft), double(PlotTop), double(PlotWidth), double(PlotHeight)}; }
};

}  // namespace mirel::spectrum
