#include "display/PlotScreen.h"

#include <QPainter>
#include <algorithm>

namespace mirel::plot {

void Outline(Canvas& c, int left, int top, int right, int bottom)
{
    c.moveTo(left, top);
    c.lineTo(right, top);
    c.lineTo(right, bottom);
    c.lineTo(left, bottom);
    c.lineTo(left, top);
}

void PaintBorders(Canvas& c, const DisplayPalette& palette, int surfaceWidth, int surfaceHeight, const PlotRect& plot)
{
    const int w = surfaceWidth - 1;
    const int h = surfaceHeight - 1;
    c.setPenStyle(Canvas::PenStyle::Solid);
    c.setPenWidth(1);
    c.setPenColor(palette.Frame);
    c.setBrushColor(palette.Background);
    Outline(c, 0, 0, w, h);
    Outline(c, 1, 1, w - 1, h - 1);
    c.setPenColor(palette.Background);
    Outline(c, 2, 2, w - 2, h - 2);
    c.setPenColor(palette.Frame);
    Outline(c, Trunc(plot.Left - 1), Trunc(plot.Top - 1), Trunc(plot.Left + plot.Width), Trunc(plot.Top + plot.Height));
}

void GridPen(Canvas& c, const DisplayPalette& palette, Rgb colour, Pen pen)
{
    c.setPenWidth(1);
    c.setPenStyle(pen == Pen::Dotted ? Canvas::PenStyle::Dotted
                  : pen == Pen::Dots ? Canvas::PenStyle::Dots
                                     : Canvas::PenStyle::Solid);
    c.setPenColor(colour);
    c.setBrushColor(palette.Background);
}

void VerticalLine(Canvas& c, const PlotRect& plot, int x)
{
    c.moveTo(x, Trunc(plot.Top));
    c.lineTo(x, Trunc(plot.Top + plot.Height));
}

void HorizontalLine(Canvas& c, const PlotRect& plot, int y)
{
    c.moveTo(Trunc(plot.Left), y);
    c.lineTo(Trunc(plot.Left + plot.Width), y);
}

namespace {

// Lines across the plot at each division, dotted in Grid, and the solid centre line in Frame.
void Divisions(Canvas& c, const DisplayPalette& palette, const PlotRect& plot, int divisions, bool centre,
               bool vertical)
{
    const double start = vertical ? plot.Left : plot.Top;
    const double extent = vertical ? plot.Width : plot.Height;
    const auto line = vertical ? VerticalLine : HorizontalLine;
    GridPen(c, palette, palette.Grid, Pen::Dotted);
    for (int i = 1; i < divisions; ++i)
        line(c, plot, Trunc(start + extent / divisions * i));
    if (centre) {
        GridPen(c, palette, palette.Frame, Pen::Solid);
        line(c, plot, Trunc(start + extent / 2));
    }
}

}  // namespace

void VerticalDivisions(Canvas& c, const DisplayPalette& palette, const PlotRect& plot, int divisions, bool centre)
{
    Divisions(c, palette, plot, divisions, centre, true);
}

void HorizontalDivisions(Canvas& c, const DisplayPalette& palette, const PlotRect& plot, int divisions, bool centre)
{
    Divisions(c, palette, plot, divisions, centre, false);
}

void DrawCurve(Canvas& c, Rgb colour, int width, std::span<const ScreenPoint> points)
{
    c.setPenStyle(Canvas::PenStyle::Solid);
    c.setPenWidth(width);
    c.setPenColor(colour);
    c.polyline(points);
}

void EraseCurves(Canvas& c, const DisplayPalette& palette, int width, std::span<const ScreenPoint> a,
                 std::span<const ScreenPoint> b)
{
    DrawCurve(c, palette.Background, width, a);
    DrawCurve(c, palette.Background, width, b);
}

Rgb ColourOf(const DisplayPalette& palette, TextColour role)
{
    switch (role) {
    case TextColour::ChannelA: return palette.ChannelA;
    case TextColour::ChannelB: return palette.ChannelB;
    case TextColour::Background: return palette.Background;
    case TextColour::Frame: break;
    }
    return palette.Frame;
}

std::vector<TextBox> ShownTexts::boxesBut(Part except) const
{
    std::vector<TextBox> boxes;
    for (const auto& [part, texts] : parts_)
        if (part != except)
            for (const Shown& shown : texts)
                boxes.push_back(shown.Box);
    return boxes;
}

std::vector<PlacedText> ShownTexts::texts() const
{
    std::vector<PlacedText> all;
    for (const auto& [part, texts] : parts_)
        for (const Shown& shown : texts)
            all.push_back(shown.Text);
    return all;
}

TextBox GlyphBox(const Canvas& c, const PlacedText& text)
{
    QFont font = c.font();
    font.setBold(text.Bold);
    const QFontMetrics metrics(font);
    const QRect ink = metrics.tightBoundingRect(QString::fromUtf8(text.Text));
    if (ink.isEmpty())
        return {};
    const int baseline = text.Y + metrics.ascent();
    return {text.X + ink.left(), baseline + ink.top(), text.X + ink.right() + 1, baseline + ink.bottom() + 1};
}

void DrawTexts(Canvas& c, const DisplayPalette& palette, const AxisTexts& texts, ShownTexts& shown,
               ShownTexts::Part part)
{
    std::vector<TextBox> boxes;
    for (const PlacedText& text : texts.Texts)
        boxes.push_back(text.Colour == TextColour::Background ? TextBox{} : GlyphBox(c, text));
    const std::vector<bool> keep = FitTexts(texts, boxes, shown.boxesBut(part));

    c.setBrushColor(palette.Background);
    c.fillRect(texts.Clear.Left, texts.Clear.Top, texts.Clear.Right, texts.Clear.Bottom);
    std::vector<ShownTexts::Shown> drawn;
    for (std::size_t i = 0; i < texts.Texts.size(); ++i) {
        const PlacedText& text = texts.Texts[i];
        if (!keep[i])
            continue;
        c.setBold(text.Bold);
        c.setTextColor(ColourOf(palette, text.Colour));
        c.textOut(text.X, text.Y, QString::fromUtf8(text.Text));
        if (text.Colour != TextColour::Background)
            drawn.push_back({text, boxes[i]});
    }
    c.setBold(false);
    shown.set(part, std::move(drawn));
}

PlacedText DrawBand(Canvas& c, const DisplayPalette& palette, ShownTexts& shown, const std::vector<std::string>& forms,
                    int x, int y, int surfaceWidth)
{
    // Inside the frame lines and the ring of background within them.
    constexpr int Inner = 3;
    const std::vector<TextBox> taken = shown.boxesBut(ShownTexts::Part::Band);
    const auto fits = [&](const TextBox& box) {
        return box.Left >= Inner && box.Right <= surfaceWidth - Inner &&
               std::none_of(taken.begin(), taken.end(), [&](const TextBox& t) { return TooClose(t, box); });
    };
    PlacedText chosen{forms.empty() ? std::string() : forms.back(), x, y};
    bool found = false;
    for (const std::string& form : forms) {
        PlacedText band{form, x, y};
        const TextBox box = GlyphBox(c, band);
        // Columns tried by their distance from x, left before right.
        for (int d = 0; !found && d < surfaceWidth; ++d) {
            for (const int at : {x - d, x + d}) {
                band.X = at;
                const TextBox moved{box.Left + at - x, box.Top, box.Right + at - x, box.Bottom};
                if (!found && fits(moved)) {
                    chosen = band;
                    found = true;
                }
            }
        }
        if (found)
            break;
    }
    c.setBold(false);
    c.setBrushColor(palette.Background);
    c.setTextColor(palette.Frame);
    c.textOut(chosen.X, chosen.Y, QString::fromUtf8(chosen.Text));
    shown.set(ShownTexts::Part::Band, {{chosen, GlyphBox(c, chosen)}});
    return chosen;
}

void DrawNotice(Canvas& c, const DisplayPalette& palette, const PlotRect& plot, const QString& text)
{
    c.setBold(true);
    const int x = Trunc(plot.Left + plot.Width / 2) - c.textWidth(text) / 2;
    const int y = Trunc(plot.Top + plot.Height / 4) - c.textHeight(text) / 2;
    c.setBrushColor(palette.Background);
    c.setTextColor(palette.Frame);
    c.textOut(std::max(x, Trunc(plot.Left)), y, text);
    c.setBold(false);
}

namespace {

// Room between the box's outline and its texts.
constexpr int ReadingsPad = 2;

}  // namespace

ReadingsBox PlaceReadings(const Canvas& c, GlyphLines& glyphs, const PlotRect& plot,
                          const std::vector<ReadingLine>& lines, const std::vector<TextBox>& taken, int cursorX)
{
    // One pixel inside the plot, so the plot's outline stays whole.
    const int left = Trunc(plot.Left) + 1;
    const int top = Trunc(plot.Top) + 1;
    const int right = Trunc(plot.Left + plot.Width) - 1;
    const int bottom = Trunc(plot.Top + plot.Height) - 1;
    const int lineHeight = c.textHeight(QStringLiteral("0"));
    glyphs.setFont(c.font());
    std::vector<int> widths;
    for (const ReadingLine& line : lines)
        widths.push_back(glyphs.width(QString::fromStdString(line.Text)));
    for (int n = static_cast<int>(lines.size()); n > 0; --n) {
        const int textWidth = *std::max_element(widths.begin(), widths.begin() + n);
        const int w = textWidth + 2 * ReadingsPad + 2;
        const int h = n * lineHeight + 2 * ReadingsPad + 2;
        // At most half the plot's height, so that the curves keep the other half in any size.
        if (w > right - left || h > (bottom - top) / 2)
            continue;
        // A corner clear of the cursor line first, so the box hides nothing the cursor points at.
        for (const bool keepOffCursor : {true, false}) {
            for (const QPoint corner :
                 {QPoint(right - w, top), QPoint(left, top), QPoint(right - w, bottom - h), QPoint(left, bottom - h)}) {
                const TextBox box{corner.x(), corner.y(), corner.x() + w, corner.y() + h};
                if (keepOffCursor && cursorX >= box.Left - 1 && cursorX <= box.Right)
                    continue;
                if (std::none_of(taken.begin(), taken.end(), [&](const TextBox& t) { return TooClose(t, box); }))
                    return {QRect(corner.x(), corner.y(), w, h), n};
            }
        }
    }
    return {};
}

void DrawReadings(Canvas& c, GlyphLines& glyphs, const DisplayPalette& palette, const ReadingsBox& box,
                  const std::vector<ReadingLine>& lines)
{
    if (box.Lines <= 0 || box.Area.isEmpty())
        return;
    const QRect& a = box.Area;
    const int left = a.left(), top = a.top(), right = a.right() + 1, bottom = a.bottom() + 1;
    // The display's own drawing goes on with its brush and text colour.
    const Rgb brush = c.brushColor(), text = c.textColor();
    c.setBrushColor(palette.Background);
    c.fillRect(left + 1, top + 1, right - 1, bottom - 1);
    // The outline as four thin fills, cheaper than lines down the columns.
    c.setBrushColor(palette.Frame);
    c.fillRect(left, top, right, top + 1);
    c.fillRect(left, bottom - 1, right, bottom);
    c.fillRect(left, top + 1, left + 1, bottom - 1);
    c.fillRect(right - 1, top + 1, right, bottom - 1);
    const QFontMetrics metrics(c.font());
    for (int i = 0; i < box.Lines && i < static_cast<int>(lines.size()); ++i) {
        const ReadingLine& line = lines[static_cast<std::size_t>(i)];
        c.setTextColor(ColourOf(palette, line.Colour));
        c.glyphsOut(a.left() + 1 + ReadingsPad, a.top() + 1 + ReadingsPad + i * metrics.height() + metrics.ascent(),
                    glyphs, QString::fromStdString(line.Text));
    }
    c.setBrushColor(brush);
    c.setTextColor(text);
}

}  // namespace mirel::plot
