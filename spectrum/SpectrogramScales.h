#pragma once
// The spectrogram's place on the display: a stripe per shown channel under the spectrum's
// frequency axis, the time scale of each stripe in seconds ago, the colour bar with its decibel
// labels in the right margin, and which line of which channel lies under the cursor.

#include "common/PlotText.h"
#include "spectrum/ColourMaps.h"
#include "spectrum/SpectrumScales.h"
#include "spectrum/SpectrumView.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace mirel::spectrum {

// Rows between two stripes: the room of a caption line, as the top margin, for the title of the
// lower stripe.
inline constexpr int StripeGap = MarginTop;
// The colour bar: two background columns right of the plot's frame, then ColourBarWidth columns;
// its labels start ColourBarLabelGap columns after it, so that «-120» in the display's normal
// weight (25 pixels) ends inside the ring of background within the surface's frame.
inline constexpr int ColourBarOffset = 3;
inline constexpr int ColourBarWidth = 8;
inline constexpr int ColourBarLabelGap = 2;

struct SpectrogramStripe {
    int Channel = 0;  // 0 for A, 1 for B
    // The plot's columns, so that every frequency keeps its pixel column; the stripe's own rows.
    PlotGeometry Plot;
};

struct SpectrogramLayout {
    PlotGeometry Plot;                                         // the whole plot and its surface
    std::vector<SpectrogramStripe> Stripes;                    // top first: A above B
    int BarLeft = 0, BarTop = 0, BarWidth = 0, BarHeight = 0;  // the colour bar
};

// One stripe filling the plot for one shown channel, two of equal height (±1) with StripeGap rows
// between them for both, none for none. The bar spans the plot's height.
SpectrogramLayout LayOutSpectrogram(const PlotGeometry& geometry, bool showA, bool showB);

// Row r from a stripe's top shows the line r lines old, r / linesPerSecond seconds ago.
// The seconds between the time scale's grid lines: the least of 0.1, 0.2, 0.5, 1, 2, 5, 10, 15,
// 30 and 60 whose rows stand DbLabelPitch apart (60 when none does). A row is a line at any size,
// so the stripe's height does not enter.
double StripeSecondsStep(int linesPerSecond);
// The rows of the dotted grid lines at every step after the top edge, inside the stripe.
std::vector<int> TimeGridRows(const PlotGeometry& stripe, int linesPerSecond);

// The left margin cleared; per stripe, the seconds ago ("0", "0,5", "12") bold in the channel's
// colour, right-aligned against the plot at the stripe's top and at each grid row, and its title:
// «Канал A, с назад» in the top margin for the first, in the gap above it for the second (the gap
// itself is not cleared here).
AxisTexts SpectrogramTimeLabels(const SpectrogramLayout& layout, int linesPerSecond);

// The bar's top row shows the view's TopDb, its bottom row TopDb − SpanDb, the rows between
// them evenly spaced levels.
// The right margin right of the bar cleared; labels of the view's range (DbLabelText) every
// DbStep of the bar's height, top and bottom included, right of the bar centred on the rows of
// their levels (the bottom one lifted clear of the frequency unit); the unit (DbUnit) at the right
// of the top margin.
AxisTexts ColourBarLabels(const SpectrogramLayout& layout, const ViewSettings& view, bool amplitudeKind);

// The bar's pixels, top row first: each row the map's colour of its level.
// Fills min(height, rows.size()) rows.
void ColourBarRows(ColourMap map, const ViewSettings& view, int height, std::span<std::uint32_t> rows);

// The line under a point of the display: the stripe's channel and the row's age in lines.
struct SpectrogramCell {
    int Channel = 0;
    int Age = 0;

    bool operator==(const SpectrogramCell&) const = default;
};
// Nothing in the gap between the stripes or outside them.
std::optional<SpectrogramCell> CellAt(const SpectrogramLayout& layout, int x, int y);

}  // namespace mirel::spectrum
