#pragma once
// The transfer function's display: two plots over one logarithmic frequency axis, the magnitude in
// dB with the coherence against a scale of its own above, the phase below; their scales and labels,
// and the curves as drawn, with the bins of low coherence dimmed or left out.

#include "common/PlotText.h"
#include "common/ScreenPoint.h"
#include "spectrum/FrequencyAxis.h"
#include "spectrum/SpectrumScales.h"
#include "transfer/TransferAnalyser.h"

#include <cstdint>
#include <span>
#include <vector>

namespace mirel::transfer {

using spectrum::FrequencyScale;
using spectrum::PlotGeometry;

// The room between the plots: the phase plot's caption.
inline constexpr int PlotGap = 20;

// What the display shows of the output: the band, the magnitude scale and where a bin counts as
// noise (coherence below the threshold), which is drawn in a paler shade or not at all.
struct DisplayRange {
    double LowHz = 20;
    double HighHz = 20000;
    double TopDb = 20;
    double BottomDb = -40;
    double CoherenceThreshold = 0.5;
    bool HideIncoherent = false;

    bool operator==(const DisplayRange&) const = default;
};

// The upper plot (magnitude and coherence) and the lower one (phase), the same width, inside the
// margins of the spectrum's display and PlotGap apart; the upper takes three fifths of the height.
struct TransferLayout {
    PlotGeometry Magnitude;
    PlotGeometry Phase;

    static TransferLayout FromSurface(int surfaceWidth, int surfaceHeight);
    // From the upper plot's top to the lower one's bottom: where the cursor reads.
    PlotRect Both() const;
};

// The logarithmic axis of the band over the plots.
FrequencyScale AxisOf(const TransferLayout& layout, const DisplayRange& range);

// Rows of a value on its plot, clamped to the plot (PlotTop … PlotBottom).
int MagnitudeRow(double db, const TransferLayout& layout, const DisplayRange& range);
int CoherenceRow(double coherence, const TransferLayout& layout);  // 0 at the bottom, 1 at the top
int PhaseRow(double degrees, const TransferLayout& layout);        // +180 at the top, −180 at the bottom
// The column of a frequency, inside the plot.
int FrequencyColumn(double hz, const FrequencyScale& axis);

// The dB between the magnitude's grid lines: the least of 1, 2, 5, 10, 20, 50 … that keeps its lines
// spectrum::DbLabelPitch pixels apart.
int DbGridStep(const TransferLayout& layout, const DisplayRange& range);
// Each multiple of the step inside the scale, top first, with its row.
struct GridLevel {
    int Value = 0;
    int Y = 0;
};
std::vector<GridLevel> DbGridLevels(const TransferLayout& layout, const DisplayRange& range);

// The left scales (magnitude above, phase at 90° steps below) with their captions, and the
// coherence's scale at the right of the upper plot with its caption, in the coherence's colour.
AxisTexts LeftLabels(const TransferLayout& layout, const DisplayRange& range);
AxisTexts CoherenceLabels(const TransferLayout& layout);

// The colours the curves take: the magnitude and the phase channel A's, the coherence channel B's.
inline constexpr TextColour ResponseColour = TextColour::ChannelA;
inline constexpr TextColour CoherenceColour = TextColour::ChannelB;

// A curve as drawn: polylines (pieces) over its points, each drawn whole in its shade.
struct TracePiece {
    int First = 0;
    int Count = 0;
    bool Dim = false;  // the coherence of its bins lies below the threshold
};
struct Trace {
    std::vector<ScreenPoint> Points;
    std::vector<TracePiece> Pieces;

    std::span<const ScreenPoint> PointsOf(const TracePiece& piece) const
    {
        return std::span(Points).subspan(static_cast<std::size_t>(piece.First), static_cast<std::size_t>(piece.Count));
    }
};

enum class TraceKind { Magnitude, Phase, Coherence };

// The pixel column of each bin of the output (FrequencyColumn), kept while the bins and the axis
// stay the same: a logarithm per bin would cost as much as the rest of the curves.
class BinColumns {
public:
    // The columns of `points` on `axis`; worked out only when either has changed.
    std::span<const std::int32_t> Update(std::span<const TransferPoint> points, const FrequencyScale& axis);

private:
    struct Key {
        std::size_t Count = 0;
        double First = 0, Last = 0, Low = 0, High = 0;
        int Left = 0, Width = 0;
        bool operator==(const Key&) const = default;
    } key_;
    std::vector<std::int32_t> columns_;
};

// The curve of one quantity of `points` (ascending in frequency). Bins that share a pixel column make
// at most two points there, their lowest and highest row in the order they came. The magnitude and
// the phase start a new piece where the coherence crosses the threshold (a dim piece starts where
// the bright one ended, so the curve stays whole), or leave the incoherent bins out; the phase
// breaks where it wraps round (a step over 180° between neighbours). A piece of one point holds it
// twice. `columns` are the points' columns (BinColumns). Allocates only when the curve needs more
// room than ever before.
void BuildTrace(std::span<const TransferPoint> points, std::span<const std::int32_t> columns, TraceKind kind,
                const TransferLayout& layout, const DisplayRange& range, Trace& trace);

}  // namespace mirel::transfer
