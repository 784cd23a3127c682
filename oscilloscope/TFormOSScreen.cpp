// The oscilloscope's screen: frame, dotted grid with solid centre lines, traces and labels. A
// refresh erases only the traces drawn last time, by drawing them again in the background colour.
#include "TFormOS.h"

#include "AppFont.h"

#include <QLabel>

namespace mirel {

void TFormOS::outline(double left, double top, double right, double bottom)
{
    Canvas& c = pbOS->canvas();
    const int l = static_cast<int>(left), t = static_cast<int>(top);
    const int r = static_cast<int>(right), b = static_cast<int>(bottom);
    c.moveTo(l, t);
    c.lineTo(r, t);
    c.lineTo(r, b);
    c.lineTo(l, b);
    c.lineTo(l, t);
}

void TFormOS::ClearFon()
{
    Canvas& c = pbOS->canvas();
    pbOS->setBackgroundColor(CurrentScheme.Background);
    c.setBrushColor(CurrentScheme.Background);
    c.clear();
    PaintBorders();
    AYTextOut();
    BYTextOut();
    XTextOut();
}

void TFormOS::PaintBorders()
{
    Canvas& c = pbOS->canvas();
    const int w = pbOS->width() - 1;
    const int h = pbOS->height() - 1;
    c.setPenStyle(Canvas::PenStyle::Solid);
    c.setPenWidth(1);
    c.setPenColor(CurrentScheme.Frame);
    c.setBrushColor(CurrentScheme.Background);
    outline(0, 0, w, h);
    outline(1, 1, w - 1, h - 1);
    c.setPenColor(CurrentScheme.Background);
    outline(2, 2, w - 2, h - 2);
    c.setPenColor(CurrentScheme.Frame);
    const osc::PlotGeometry& g = Geometry;
    outline(g.PlotLeft - 1, g.PlotTop - 1, g.PlotLeft + g.PlotWidth, g.PlotTop + g.PlotHeight);
}

void TFormOS::PaintVertLines()
{
    Canvas& c = pbOS->canvas();
    const osc::PlotGeometry& g = Geometry;
    const int n = g.TimeDivisions();
    c.setPenWidth(1);
    c.setPenStyle(Canvas::PenStyle::Dotted);
    c.setPenColor(CurrentScheme.Grid);
    c.setBrushColor(CurrentScheme.Background);
    for (int i = 1; i < n; ++i) {
        const int x = static_cast<int>(g.PlotLeft + g.PlotWidth / n * i);
        c.moveTo(x, static_cast<int>(g.PlotTop));
        c.lineTo(x, static_cast<int>(g.PlotTop + g.PlotHeight));
    }
    c.setPenStyle(Canvas::PenStyle::Solid);
    c.setPenColor(CurrentScheme.Frame);
    const int middle = static_cast<int>(g.PlotLeft + g.PlotHalfWidth);
    c.moveTo(middle, static_cast<int>(g.PlotTop));
    c.lineTo(middle, static_cast<int>(g.PlotTop + g.PlotHeight));
}

void TFormOS::PaintHorLines()
{
    Canvas& c = pbOS->canvas();
    const osc::PlotGeometry& g = Geometry;
    const int n = g.VoltDivisions();
    c.setPenWidth(1);
    c.setPenStyle(Canvas::PenStyle::Dotted);
    c.setPenColor(CurrentScheme.Grid);
    c.setBrushColor(CurrentScheme.Background);
    for (int i = 1; i < n; ++i) {
        const int y = static_cast<int>(g.PlotTop + g.PlotHeight / n * i);
        c.moveTo(static_cast<int>(g.PlotLeft), y);
        c.lineTo(static_cast<int>(g.PlotLeft + g.PlotWidth), y);
    }
    c.setPenStyle(Canvas::PenStyle::Solid);
    c.setPenColor(CurrentScheme.Frame);
    const int middle = static_cast<int>(g.PlotTop + g.PlotHalfHeight);
    c.moveTo(static_cast<int>(g.PlotLeft), middle);
    c.lineTo(static_cast<int>(g.PlotLeft + g.PlotWidth), middle);
}

void TFormOS::ClearDiagr()
{
    Canvas& c = pbOS->canvas();
    c.setPenStyle(Canvas::PenStyle::Solid);
    c.setPenColor(CurrentScheme.Background);
    c.setPenWidth(LineWidth);
    if (Traces.Exists()) {
        c.polyline(Traces.PrevTraceA);
        c.polyline(Traces.PrevTraceB);
    }
    c.setPenWidth(1);
    PaintVertLines();
    PaintHorLines();
}

void TFormOS::OscillPaint()
{
    ClearDiagr();
    Canvas& c = pbOS->canvas();
    c.setPenStyle(Canvas::PenStyle::Solid);
    c.setPenWidth(LineWidth);
    if (Traces.Exists()) {
        c.setPenColor(CurrentScheme.ChannelA);
        if (ChannelAOn)
            c.polyline(Traces.TraceA);
        c.setPenColor(CurrentScheme.ChannelB);
        if (ChannelBOn)
            c.polyline(Traces.TraceB);
    }
    c.setPenWidth(1);
    PaintBorders();
    Traces.Remember();
    Sweep.PaintFinished();
}

Rgb TFormOS::colourOf(osc::TextColour role) const
{
    switch (role) {
    case osc::TextColour::ChannelA: return CurrentScheme.ChannelA;
    case osc::TextColour::ChannelB: return CurrentScheme.ChannelB;
    case osc::TextColour::Background: return CurrentScheme.Background;
    case osc::TextColour::Frame: break;
    }
    return CurrentScheme.Frame;
}

void TFormOS::drawTexts(const osc::AxisTexts& texts)
{
    Canvas& c = pbOS->canvas();
    c.setBrushColor(CurrentScheme.Background);
    c.fillRect(texts.Clear.Left, texts.Clear.Top, texts.Clear.Right, texts.Clear.Bottom);
    for (const osc::PlacedText& text : texts.Texts) {
        c.setBold(text.Bold);
        c.setTextColor(colourOf(text.Colour));
        c.textOut(text.X, text.Y, QString::fromUtf8(text.Text));
    }
    c.setBold(false);
}

void TFormOS::XTextOut()
{
    drawTexts(osc::XTextOut(Geometry, TimeBase));
}

void TFormOS::AYTextOut()
{
    drawTexts(osc::AYTextOut(Geometry, SensA, lblda->text().toStdString()));
}

void TFormOS::BYTextOut()
{
    drawTexts(osc::BYTextOut(Geometry, SensB, lbldb->text().toStdString()));
}

void TFormOS::ChangeColor()
{
    ToggleScheme();
    ClearFon();
    ProcessData();
    OscillPaint();
}

}  // namespace mirel
