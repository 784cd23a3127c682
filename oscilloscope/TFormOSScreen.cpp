// The oscilloscope's screen: frame, dotted grid with solid centre lines, traces and labels. A
// refresh erases only the traces drawn last time, by drawing them again in the background colour.
#include "oscilloscope/TFormOS.h"

#include "display/PlotScreen.h"
#include "oscilloscope/CursorReadout.h"
#include "oscilloscope/OscReadings.h"

#include <QLabel>
#include <algorithm>

namespace mirel {

void TFormOS::ClearFon()
{
    Canvas& c = pbOS->canvas();
    c.setBrushColor(CurrentScheme.Background);
    c.clear();
    shownTexts().clear();
    forgetReadings();
    // The grid is there whether or not blocks arrive (a refused start, the time before the first
    // block after a show).
    PaintVertLines();
    PaintHorLines();
    PaintBorders();
    AYTextOut();
    BYTextOut();
    XTextOut();
    DeviceLostTextOut(geometry_.Plot());
}

void TFormOS::PaintBorders()
{
    plot::PaintBorders(pbOS->canvas(), CurrentScheme, pbOS->width(), pbOS->height(), geometry_.Plot());
}

void TFormOS::PaintVertLines()
{
    plot::VerticalDivisions(pbOS->canvas(), CurrentScheme, geometry_.Plot(), geometry_.TimeDivisions(), true);
}

void TFormOS::PaintHorLines()
{
    plot::HorizontalDivisions(pbOS->canvas(), CurrentScheme, geometry_.Plot(), geometry_.VoltDivisions(), true);
}

void TFormOS::ClearDiagr()
{
    hideReadings();
    Canvas& c = pbOS->canvas();
    if (traces_.Exists())
        plot::EraseCurves(c, CurrentScheme, LineWidth, traces_.PrevTraceA, traces_.PrevTraceB);
    PaintVertLines();
    PaintHorLines();
}

void TFormOS::OscillPaint()
{
    ClearDiagr();
    Canvas& c = pbOS->canvas();
    if (traces_.Exists()) {
        if (ChannelAOn)
            plot::DrawCurve(c, CurrentScheme.ChannelA, LineWidth, traces_.TraceA);
        if (ChannelBOn)
            plot::DrawCurve(c, CurrentScheme.ChannelB, LineWidth, traces_.TraceB);
    }
    PaintBorders();
    traces_.Remember();
    sweep_.PaintFinished();
    DeviceLostTextOut(geometry_.Plot());
    showReadings();
}

void TFormOS::XTextOut()
{
    plot::DrawTexts(pbOS->canvas(), CurrentScheme, osc::XTextOut(geometry_, TimeBase), shownTexts(),
                    plot::ShownTexts::Part::Horizontal);
}

void TFormOS::AYTextOut()
{
    plot::DrawTexts(pbOS->canvas(), CurrentScheme, osc::AYTextOut(geometry_, SensA, lblda->text().toStdString()),
                    shownTexts(), plot::ShownTexts::Part::Left);
}

void TFormOS::BYTextOut()
{
    plot::DrawTexts(pbOS->canvas(), CurrentScheme, osc::BYTextOut(geometry_, SensB, lbldb->text().toStdString()),
                    shownTexts(), plot::ShownTexts::Part::Right);
}

int TFormOS::measurementChoice() const
{
    return (ChannelAOn ? 1 : 0) | (ChannelBOn ? 2 : 0);
}

std::vector<std::string> TFormOS::measuredRows(TextColour channel)
{
    const bool a = channel == TextColour::ChannelA;
    if (!Running || !(a ? ChannelAOn : ChannelBOn))
        return {};
    const std::vector<ReadingText> t =
        osc::ReadingLines(osc::MeasureChannel(BlockCopy.View(), a ? osc::Channel::A : osc::Channel::B, SampleRate));
    const ReadingText ordered[] = {t[0], t[1], t[6], t[4], t[2], t[3], t[5]};
    return ReadingRows(a ? "A" : "B", ordered, {2, 2, 2, 1});
}

std::optional<MeasuredValues> TFormOS::measuredValues(TextColour channel)
{
    const bool a = channel == TextColour::ChannelA;
    if (!Running || !(a ? ChannelAOn : ChannelBOn))
        return std::nullopt;
    return osc::ToMeasuredValues(
        osc::MeasureChannel(BlockCopy.View(), a ? osc::Channel::A : osc::Channel::B, SampleRate));
}

std::vector<ReadingLine> TFormOS::CursorLines()
{
    std::vector<ReadingLine> lines;
    if (!cursorX())
        return lines;
    const osc::BlockView shown = Running ? BlockCopy.View() : osc::BlockView();
    const osc::CursorValues v = osc::ValuesAtColumn(shown, triggers_, geometry_, traceScales(), SampleRate, *cursorX());
    if (!v.Inside)
        return lines;
    lines.push_back({osc::TimeText(v.Time)});
    if (ChannelAOn)
        lines.push_back({osc::SampleText("A", v.A), TextColour::ChannelA});
    if (ChannelBOn)
        lines.push_back({osc::SampleText("B", v.B), TextColour::ChannelB});
    return lines;
}

void TFormOS::RedrawCurves()
{
    ProcessData();
    OscillPaint();
}

}  // namespace mirel
