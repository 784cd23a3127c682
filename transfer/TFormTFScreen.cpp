// The transfer function window's screen: frames, grid and labels of both plots, the three curves
// (a result erases the ones drawn last by drawing them again in the background colour), the
// readings, and what the save commands take.
#include "transfer/TFormTF.h"

#include "display/PlotScreen.h"
#include "spectrum/SpectrumCursor.h"
#include "transfer/TransferCsv.h"
#include "transfer/TransferTexts.h"

namespace mirel {

using namespace transfer;

void TFormTF::ClearFon()
{
    layout_ = TransferLayout::FromSurface(pbTF->width(), pbTF->height());
    Canvas& c = pbTF->canvas();
    c.setBrushColor(CurrentScheme.Background);
    c.clear();
    shownTexts().clear();
    forgetReadings();
    drawn_ = false;  // nothing of the old curves is left to erase
    freqLines_ = spectrum::LogFreqGridLines(AxisOf(layout_, range_));
    dbRows_.clear();
    // The scale's edges are the plot's frame.
    for (const GridLevel& level : DbGridLevels(layout_, range_))
        if (level.Y > layout_.Magnitude.PlotTop && level.Y < layout_.Magnitude.PlotBottom())
            dbRows_.push_back(level.Y);
    PaintBorders();
    PaintLabels();
    PaintGrid();
    DeviceLostTextOut(layout_.Magnitude.Plot());
}

void TFormTF::TFPaint()
{
    if (!Created)
        return;
    ClearDiagr();
    const std::span<const TransferPoint> points = analyser_.Points();
    const std::span<const std::int32_t> columns = columns_.Update(points, AxisOf(layout_, range_));
    for (const TraceKind kind : {TraceKind::Coherence, TraceKind::Magnitude, TraceKind::Phase})
        BuildTrace(points, columns, kind, layout_, range_, traces_[static_cast<int>(kind)]);
    drawTraces(false);
    drawn_ = true;
    PaintBorders();
    DeviceLostTextOut(layout_.Magnitude.Plot());
    showReadings();
}

void TFormTF::ClearDiagr()
{
    hideReadings();
    if (drawn_)
        drawTraces(true);
    drawn_ = false;
    PaintGrid();
}

void TFormTF::drawTraces(bool erase)
{
    Canvas& c = pbTF->canvas();
    const Rgb background = CurrentScheme.Background;
    // The coherence first: the response is drawn over it.
    for (const TraceKind kind : {TraceKind::Coherence, TraceKind::Magnitude, TraceKind::Phase}) {
        const Rgb colour =
            plot::ColourOf(CurrentScheme, kind == TraceKind::Coherence ? CoherenceColour : ResponseColour);
        const Trace& trace = traces_[static_cast<int>(kind)];
        for (const TracePiece& piece : trace.Pieces)
            plot::DrawCurve(c,
                            erase       ? background
                            : piece.Dim ? Blended(colour, background)
                                        : colour,
                            LineWidth, trace.PointsOf(piece));
    }
}

void TFormTF::PaintBorders()
{
    for (const PlotGeometry& g : {layout_.Magnitude, layout_.Phase})
        plot::PaintBorders(pbTF->canvas(), CurrentScheme, pbTF->width(), pbTF->height(), g.Plot());
}

void TFormTF::PaintGrid()
{
    Canvas& c = pbTF->canvas();
    const PlotRect magnitude = layout_.Magnitude.Plot();
    plot::GridPen(c, CurrentScheme, CurrentScheme.Grid, plot::Pen::Dotted);
    for (const int x : freqLines_) {
        plot::VerticalLine(c, magnitude, x);
        plot::VerticalLine(c, layout_.Phase.Plot(), x);
    }
    for (const int y : dbRows_)
        plot::HorizontalLine(c, magnitude, y);
    plot::HorizontalDivisions(c, CurrentScheme, layout_.Phase.Plot(), 4, true);
}

void TFormTF::PaintLabels()
{
    Canvas& c = pbTF->canvas();
    plot::DrawTexts(c, CurrentScheme, LeftLabels(layout_, range_), shownTexts(), plot::ShownTexts::Part::Left);
    plot::DrawTexts(c, CurrentScheme, CoherenceLabels(layout_), shownTexts(), plot::ShownTexts::Part::Right);
    plot::DrawTexts(c, CurrentScheme, spectrum::LogFreqLabels(layout_.Phase, AxisOf(layout_, range_)), shownTexts(),
                    plot::ShownTexts::Part::Horizontal);
}

std::vector<ReadingLine> TFormTF::CursorLines()
{
    std::vector<ReadingLine> lines;
    const TransferPoint* p =
        cursorX() ? PointAtColumn(analyser_.Points(), AxisOf(layout_, range_), *cursorX()) : nullptr;
    if (!p)
        return lines;
    const std::vector<std::string> texts = CursorTexts(*p);
    const TextColour colours[] = {TextColour::Frame, ResponseColour, ResponseColour, CoherenceColour};
    for (std::size_t i = 0; i < texts.size(); ++i)
        lines.push_back({texts[i], colours[i]});
    return lines;
}

std::vector<std::string> TFormTF::measuredRows(TextColour channel)
{
    if (channel == ResponseColour)
        return ResponseRows(analyser_.Points(), analyser_.Delay());
    return CoherenceRows(analyser_.Points());
}

void TFormTF::RedrawForExport()
{
    ClearFon();
    TFPaint();
}

void TFormTF::AfterExport(bool saved)
{
    if (saved)
        ClearFon();
    TFPaint();
    Live = true;
}

DataTable TFormTF::DisplayedData()
{
    DataTable table{{"frequency_hz", "", {}}, {"magnitude_db", "", {}}, {"phase_deg", "", {}}, {"coherence", "", {}}};
    for (const TransferPoint& p : analyser_.Points()) {
        table[0].Values.push_back(p.Frequency);
        table[1].Values.push_back(p.MagnitudeDb);
        table[2].Values.push_back(p.PhaseDeg);
        table[3].Values.push_back(p.Coherence);
    }
    return table;
}

std::string TFormTF::DisplayedCsv()
{
    return TransferCsv(analyser_.Points());
}

}  // namespace mirel
