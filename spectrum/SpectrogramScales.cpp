#include "spectrum/SpectrogramScales.h"

#include "common/ValueFormat.h"
#include "spectrum/LevelAxis.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace mirel::spectrum {

namespace {

// The steps of the time scale in tenths of a second, so that their multiples are exact.
constexpr std::array<int, 10> StepTenths = {1, 2, 5, 10, 20, 50, 100, 150, 300, 600};

int StepTenthsFor(int linesPerSecond)
{
    for (const int tenths : StepTenths) {
        if (tenths * linesPerSecond >= DbLabelPitch * 10)
            return tenths;
    }
    return StepTenths.back();
}

// Rows from a stripe's top to its k-th grid line: the line of that age, the nearest one when a
// step is not a whole number of lines.
int StepRow(int k, int tenths, int linesPerSecond)
{
    return static_cast<int>((static_cast<std::int64_t>(k) * tenths * linesPerSecond + 5) / 10);
}

// Labels are centred on their row, as the level scale's.
constexpr int LabelAbove = 7;

// «дБВ» is 26 pixels wide in the display's bold font, «дБВт» 32; the unit ends two pixels inside
// the surface's right edge, as channel B's caption of the spectrum.
int UnitX(const PlotGeometry& g, bool amplitudeKind)
{
    return g.PlotRight() + MarginRight - 2 - (amplitudeKind ? 26 : 32);
}

// Level of a bar row: TopDb on the top row down to TopDb − SpanDb on the bottom one.
double BarLevel(const ViewSettings& view, int height, int row)
{
    return height > 1 ? view.TopDb - static_cast<double>(view.SpanDb) * row / (height - 1) : view.TopDb;
}

int BarRow(const SpectrogramLayout& layout, const ViewSettings& view, int db)
{
    const double rows = static_cast<double>(view.TopDb - db) * (layout.BarHeight - 1) / view.SpanDb;
    return layout.BarTop + std::clamp(static_cast<int>(std::lround(rows)), 0, std::max(layout.BarHeight - 1, 0));
}

// A bar label centred on its row, but for the bottom one, whose line of text ends above the
// glyphs of the frequency unit below the plot (written two rows under it, its glyphs two rows
// further down).
int BarLabelY(const PlotGeometry& g, int row)
{
    return std::min(row - LabelAbove, g.PlotBottom() + 4 - DbLabelLine);
}

}  // namespace

SpectrogramLayout LayOutSpectrogram(const PlotGeometry& g, bool showA, bool showB)
{
    SpectrogramLayout layout;
    layout.Plot = g;
    const auto addStripe = [&](int channel, int top, int height) {
        PlotGeometry plot = g;
        plot.PlotTop = top;
        plot.PlotHeight = std::max(height, 0);
        layout.Stripes.push_back({channel, plot});
    };
    if (showA && showB) {
        const int rows = std::max(g.PlotHeight - StripeGap, 0);
        const int upper = (rows + 1) / 2;
        addStripe(0, g.PlotTop, upper);
        addStripe(1, g.PlotTop + upper + StripeGap, rows - upper);
    } else if (showA || showB) {
        addStripe(showA ? 0 : 1, g.PlotTop, g.PlotHeight);
    }
    layout.BarLeft = g.PlotRight() + ColourBarOffset;
    layout.BarTop = g.PlotTop;
    layout.BarWidth = ColourBarWidth;
    layout.BarHeight = std::max(g.PlotHeight, 0);
    return layout;
}

double StripeSecondsStep(int linesPerSecond)
{
    return StepTenthsFor(linesPerSecond) / 10.0;
}

std::vector<int> TimeGridRows(const PlotGeometry& stripe, int linesPerSecond)
{
    std::vector<int> rows;
    if (linesPerSecond <= 0)
        return rows;
    const int tenths = StepTenthsFor(linesPerSecond);
    // The top edge lies against the frame, which stands for its line.
    for (int k = 1, row = 0; (row = StepRow(k, tenths, linesPerSecond)) < stripe.PlotHeight; ++k)
        rows.push_back(stripe.PlotTop + row);
    return rows;
}

AxisTexts SpectrogramTimeLabels(const SpectrogramLayout& layout, int linesPerSecond)
{
    const PlotGeometry& g = layout.Plot;
    AxisTexts out;
    out.Clear = {2, g.PlotTop - 6, g.PlotLeft - 3, g.PlotBottom() + 1};
    // The titles first: they are never left out for a label.
    for (const SpectrogramStripe& stripe : layout.Stripes) {
        const char letter = stripe.Channel == 0 ? 'A' : 'B';
        out.Texts.push_back({std::string("Канал ") + letter + ", с назад", 8, CaptionY(stripe.Plot), true,
                             stripe.Channel == 0 ? TextColour::ChannelA : TextColour::ChannelB});
    }
    if (linesPerSecond <= 0)
        return out;
    const int tenths = StepTenthsFor(linesPerSecond);
    for (const SpectrogramStripe& stripe : layout.Stripes) {
        const TextColour colour = stripe.Channel == 0 ? TextColour::ChannelA : TextColour::ChannelB;
        for (int k = 0, row = 0; (row = StepRow(k, tenths, linesPerSecond)) < stripe.Plot.PlotHeight; ++k) {
            std::string text = GeneralFloatText(k * tenths / 10.0);
            const int x = g.PlotLeft - BoldAdvance(text) - 3;
            out.Texts.push_back({std::move(text), x, stripe.Plot.PlotTop + row - LabelAbove, true, colour, k});
        }
    }
    return out;
}

AxisTexts ColourBarLabels(const SpectrogramLayout& layout, const ViewSettings& view, bool amplitudeKind)
{
    const PlotGeometry& g = layout.Plot;
    AxisTexts out;
    const int right = g.PlotRight() + MarginRight - 3;
    out.Clear = {layout.BarLeft + layout.BarWidth, g.PlotTop - 6, right, g.PlotBottom() + 1};
    if (view.SpanDb > 0 && layout.BarHeight > 0) {
        // Every step down from the top as the level scale's lines; bottom first, so that the Index
        // counts up the scale, and the origin is 0 dB when shown.
        const int step = DbStep(g, view);
        const int x = layout.BarLeft + layout.BarWidth + ColourBarLabelGap;
        const int count = view.SpanDb / step + 1;
        for (int i = 0; i < count; ++i) {
            const int db = view.TopDb - (count - 1 - i) * step;
            if (db == 0)
                out.Origin = i;
            out.Texts.push_back(
                {DbLabelText(db), x, BarLabelY(g, BarRow(layout, view, db)), false, TextColour::Frame, i});
        }
    }
    // Blanks erase the longer unit before the new one is written.
    const int x = UnitX(g, amplitudeKind);
    out.Texts.push_back({std::string(8, ' '), UnitX(g, false), CaptionY(g), true, TextColour::Background});
    out.Texts.push_back({DbUnit(amplitudeKind), x, CaptionY(g), true, TextColour::Frame});
    return out;
}

void ColourBarRows(ColourMap map, const ViewSettings& view, int height, std::span<std::uint32_t> rows)
{
    const ColourTable& table = ColourTableOf(map);
    const int n = std::min(height, static_cast<int>(rows.size()));
    for (int r = 0; r < n; ++r) {
        rows[static_cast<std::size_t>(r)] =
            table[static_cast<std::size_t>(ColourIndex(BarLevel(view, height, r), view.TopDb, view.SpanDb))];
    }
}

std::optional<SpectrogramCell> CellAt(const SpectrogramLayout& layout, int x, int y)
{
    for (const SpectrogramStripe& stripe : layout.Stripes) {
        const PlotGeometry& p = stripe.Plot;
        if (x >= p.PlotLeft && x < p.PlotRight() && y >= p.PlotTop && y < p.PlotBottom())
            return SpectrogramCell{stripe.Channel, y - p.PlotTop};
    }
    return std::nullopt;
}

}  // namespace mirel::spectrum
