#include "spectrum/LevelAxis.h"

#include <algorithm>
#include <cmath>

namespace mirel::spectrum {

namespace {

// Labels are centred on their grid line, as on the linear scale; the one on the bottom edge
// stands above it, clear of the frequency axis's unit.
int DbLabelY(const DbLine& line, const PlotGeometry& g)
{
    return line.Y >= g.PlotBottom() ? line.Y - 12 : line.Y - 7;
}

// Blanks that erase the longest caption, of either scale, before the new one is written.
const std::string CaptionEraser(25, ' ');

// Channel B's caption ends two pixels inside the surface's right edge: «Канал B (дБВ)» is 94
// pixels wide in the display's bold font, «Канал B (дБВт)» 99.
int CaptionBX(const PlotGeometry& g, bool amplitudeKind)
{
    return MarginLeft + g.PlotWidth + MarginRight - 2 - (amplitudeKind ? 94 : 99);
}

// The labels of one side, bottom first so that their Index counts up the scale; the scale's
// origin is its 0 dB label when the scale shows one.
AxisTexts DbLabels(const PlotGeometry& g, const ViewSettings& view, TextColour colour, bool rightAligned)
{
    AxisTexts out;
    const std::vector<DbLine> lines = DbLines(g, view);
    const int n = static_cast<int>(lines.size());
    for (int i = 0; i < n; ++i) {
        const DbLine& line = lines[static_cast<std::size_t>(n - 1 - i)];
        std::string text = DbLabelText(line.Db);
        const int x = rightAligned ? g.PlotLeft - BoldAdvance(text) - 3 : g.PlotRight() + 4;
        if (line.Db == 0)
            out.Origin = i;
        out.Texts.push_back({std::move(text), x, DbLabelY(line, g), true, colour, i});
    }
    return out;
}

}  // namespace

int BoldAdvance(const std::string& text)
{
    int width = 0;
    for (const char c : text)
        width += c == '+' ? 9 : c == '-' ? 5 : c == ',' ? 4 : 8;
    return width;
}

int CaptionY(const PlotGeometry& g)
{
    return g.PlotTop - 19;
}

double LevelDb(double level, bool amplitudeKind)
{
    return (amplitudeKind ? 20 : 10) * std::log10(level);
}

double LevelFraction(double level, bool amplitudeKind, const ViewSettings& view, double fullScale)
{
    if (!view.Decibels)
        return level / fullScale;
    return DbFraction(LevelDb(level, amplitudeKind), view);
}

double DbFraction(double db, const ViewSettings& view)
{
    const double fraction = (db - (view.TopDb - view.SpanDb)) / view.SpanDb;
    return fraction > 0 ? fraction : 0;  // also NaN and −∞
}

int DbStep(const PlotGeometry& g, const ViewSettings& view)
{
    return view.SpanDb > 0 && g.PlotHeight * 10 >= DbLabelPitch * view.SpanDb ? 10 : 20;
}

std::vector<DbLine> DbLines(const PlotGeometry& g, const ViewSettings& view)
{
    std::vector<DbLine> lines;
    if (view.SpanDb <= 0)
        return lines;
    const int step = DbStep(g, view);
    for (int db = view.TopDb; db >= view.TopDb - view.SpanDb; db -= step)
        lines.push_back({db, Trunc(g.PlotBottom() - g.PlotHeight * DbFraction(db, view))});
    return lines;
}

std::string DbLabelText(int db)
{
    std::string text = db > 0 ? "+" : "";
    return text.append(std::to_string(db));
}

std::string DbUnit(bool amplitudeKind)
{
    return amplitudeKind ? "дБВ" : "дБВт";
}

std::string DbCaption(char channel, bool amplitudeKind)
{
    return std::string("Канал ") + channel + " (" + DbUnit(amplitudeKind) + ")";
}

AxisTexts DbLabelsA(const PlotGeometry& g, const ViewSettings& view, bool amplitudeKind)
{
    AxisTexts out = DbLabels(g, view, TextColour::ChannelA, true);
    out.Clear = {2, g.PlotTop - 6, g.PlotLeft - 3, g.PlotBottom() + 1};
    out.Texts.push_back({CaptionEraser, 8, CaptionY(g), true, TextColour::Background});
    out.Texts.push_back({DbCaption('A', amplitudeKind), 8, CaptionY(g), true, TextColour::ChannelA});
    return out;
}

AxisTexts DbLabelsB(const PlotGeometry& g, const ViewSettings& view, bool amplitudeKind)
{
    AxisTexts out = DbLabels(g, view, TextColour::ChannelB, false);
    out.Clear = {g.PlotRight() + 1, g.PlotTop - 6, 2 * g.PlotLeft + g.PlotWidth - 3, g.PlotBottom() + 1};
    const int x = CaptionBX(g, amplitudeKind);
    out.Texts.push_back({CaptionEraser, std::min(x, g.PlotWidth - 12), CaptionY(g), true, TextColour::Background});
    out.Texts.push_back({DbCaption('B', amplitudeKind), x, CaptionY(g), true, TextColour::ChannelB});
    return out;
}

}  // namespace mirel::spectrum
