// The density screen: frame, dotted grid with the solid zero line, both curves and the labels. A
// new block erases only the curves drawn last time, by drawing them again in the background colour.
#include "density/TFormPV.h"

#include "density/DensityCursor.h"
#include "density/DensityReadings.h"
#include "display/PlotScreen.h"

#include <algorithm>

namespace mirel {

void TFormPV::ClearFon()
{
    UpdateGeometry();
    Canvas& c = pbPV->canvas();
    c.setBrushColor(CurrentScheme.Background);
    c.clear();
    shownTexts().clear();
    forgetReadings();
    // The picture is blank: nothing of earlier curves is left to erase, and the grid and scales
    // are there whether or not blocks arrive.
    std::fill(points_.PrevTraceA.begin(), points_.PrevTraceA.end(), ScreenPoint{});
    std::fill(points_.PrevTraceB.begin(), points_.PrevTraceB.end(), ScreenPoint{});
    ClearDiagr();
    PaintBorders();
    XTextOut();
    AYTextOut();
    BYTextOut();
    DeviceLostTextOut(geometry_.Plot());
}

void TFormPV::PaintBorders()
{
    plot::PaintBorders(pbPV->canvas(), CurrentScheme, pbPV->width(), pbPV->height(), geometry_.Plot());
}

void TFormPV::PaintVertLines()
{
    plot::VerticalDivisions(pbPV->canvas(), CurrentScheme, geometry_.Plot(), pv::LevelDivisions, true);
}

void TFormPV::PaintHorLinesPV()
{
    plot::HorizontalDivisions(pbPV->canvas(), CurrentScheme, geometry_.Plot(), pv::DensityDivisions, false);
}

void TFormPV::PaintHorLinesNM()
{
    // Both modes have the same ten divisions; only their labels differ.
    PaintHorLinesPV();
}

void TFormPV::ClearDiagr()
{
    hideReadings();
    const std::span<const ScreenPoint> none;
    plot::EraseCurves(pbPV->canvas(), CurrentScheme, LineWidth, ShowA ? points_.PrevTraceA : none,
                      ShowB ? points_.PrevTraceB : none);
    PaintVertLines();
    if (Normalised)
        PaintHorLinesNM();
    else
        PaintHorLinesPV();
}

void TFormPV::PVPaint()
{
    ClearDiagr();
    Canvas& c = pbPV->canvas();
    if (ShowA)
        plot::DrawCurve(c, CurrentScheme.ChannelA, LineWidth, points_.TraceA);
    if (ShowB)
        plot::DrawCurve(c, CurrentScheme.ChannelB, LineWidth, points_.TraceB);
    // The curves run along the bottom edge of the plot, over its outline.
    PaintBorders();
    points_.Remember();
    DeviceLostTextOut(geometry_.Plot());
    showReadings();
}

int TFormPV::measurementChoice() const
{
    return (ShowA ? 1 : 0) | (ShowB ? 2 : 0);
}

std::vector<std::string> TFormPV::measuredRows(TextColour channel)
{
    const bool a = channel == TextColour::ChannelA;
    if (blockBytes_ == 0 || !(a ? ShowA : ShowB))
        return {};
    return ReadingRows(a ? "A" : "B", pv::ReadingLines(pv::MeasureLevels(a ? HistA : HistB)), {2, 1});
}

std::optional<MeasuredValues> TFormPV::measuredValues(TextColour channel)
{
    const bool a = channel == TextColour::ChannelA;
    if (blockBytes_ == 0 || !(a ? ShowA : ShowB))
        return std::nullopt;
    return pv::ToMeasuredValues(pv::MeasureLevels(a ? HistA : HistB));
}

std::vector<ReadingLine> TFormPV::CursorLines()
{
    std::vector<ReadingLine> lines;
    if (!cursorX())
        return lines;
    const pv::CursorLevel v = pv::LevelAtColumn(HistA, HistB, Normalised, geometry_, *cursorX());
    if (!v.Inside)
        return lines;
    lines.push_back({pv::LevelText(v.Level)});
    if (ShowA)
        lines.push_back({pv::CurveValueText("A", v.A, Normalised), TextColour::ChannelA});
    if (ShowB)
        lines.push_back({pv::CurveValueText("B", v.B, Normalised), TextColour::ChannelB});
    return lines;
}

void TFormPV::XTextOut()
{
    plot::DrawTexts(pbPV->canvas(), CurrentScheme, pv::XTextOut(geometry_), shownTexts(),
                    plot::ShownTexts::Part::Horizontal);
}

void TFormPV::AYTextOut()
{
    plot::DrawTexts(pbPV->canvas(), CurrentScheme, pv::AYTextOut(geometry_, ScaleA, Normalised), shownTexts(),
                    plot::ShownTexts::Part::Left);
}

void TFormPV::BYTextOut()
{
    plot::DrawTexts(pbPV->canvas(), CurrentScheme, pv::BYTextOut(geometry_, ScaleB, Normalised), shownTexts(),
                    plot::ShownTexts::Part::Right);
}

}  // namespace mirel
