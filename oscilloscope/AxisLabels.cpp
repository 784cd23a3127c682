#include "oscilloscope/AxisLabels.h"

#include "common/ValueFormat.h"

#include <cmath>

namespace mirel::osc {

namespace {

constexpr std::string_view TitleEraser = "                                 ";  // 33 blanks

// The time per division of a 16-division screen, held in single precision: at 400 µs it lies just
// below 0.0001 s, which puts the axis into microseconds.
float TimePerDivision16(double timeBase)
{
    return static_cast<float>(timeBase * 0.001 * 0.001 * 0.25);
}

struct VoltScale {
    int Divisions;
    int Half;
    double PerDivision;
    int Exponent;
    bool Decimals;
};

VoltScale VoltScaleOf(double sens, int n)
{
    VoltScale s{};
    s.Divisions = n;
    s.Half = n / 2;
    s.PerDivision = 1 / sens * (12.0 / n) * 0.5;
    s.Exponent = ScaleExponent(s.PerDivision);
    // Decimals when any of three sample values needs a point.
    for (int i : {1, 2, 5}) {
        if (Contains(ValueToStr(s.Exponent, (i - s.Half) * s.PerDivision), '.'))
            s.Decimals = true;
    }
    return s;
}

std::string VoltLabel(const VoltScale& s, int i)
{
    std::string text = UpToFirstBlank(ValueToStr(s.Exponent, (s.Half - i) * s.PerDivision));
    const auto point = text.find('.');
    if (s.Decimals) {
        if (point == std::string::npos)
            text += ".0";
    } else if (point != std::string::npos) {
        text.erase(point);
    }
    return text;
}

int VoltLabelY(const PlotGeometry& g, int n, int i)
{
    return Trunc(g.PlotTop + g.PlotHeight / n * i - (i == n ? 14 : 7));
}

std::string Title(char channel, std::string_view caption)
{
    return std::string("Канал ") + channel + " (" + UnitOfCaption(caption) + ")";
}

}  // namespace

std::vector<std::string> TimeLabelTexts(double timeBase, int n)
{
    const double td = TimePerDivision16(timeBase);
    const int p = ScaleExponent(td);
    const double f = 16.0 / n;
    std::vector<std::string> labels;
    labels.reserve(static_cast<size_t>(n) + 1);
    for (int i = 0; i <= n; ++i) {
        // The factor keeps values such as 0.2 from reading 0.19 after the four-character cut.
        const double value = (i - n / 2) * 1.00001 * td * f;
        std::string text = UpToFirstBlank(ValueToStr(p, value));
        while (!text.empty() && text.back() == '0' && Contains(text, '.'))
            text.pop_back();
        if (!text.empty() && text.back() == '.')
            text.pop_back();
        labels.push_back(std::move(text));
    }
    return labels;
}

std::string TimeUnitText(double timeBase, int n)
{
    const double td = TimePerDivision16(timeBase);
    const double f = 16.0 / n;
    std::string text = ValueToStr(ScaleExponent(td), td * f) + "с/дел";
    if (const auto m = text.find("м"); m != std::string::npos)
        text.erase(0, m);
    if (const auto d = text.find("д"); d != std::string::npos && d > 0) {
        // Step back over one whole UTF-8 character.
        size_t before = d - 1;
        while (before > 0 && (static_cast<unsigned char>(text[before]) & 0xC0) == 0x80)
            --before;
        text.erase(before);
    }
    return text;
}

std::vector<std::string> VoltLabelTexts(double sens, int n)
{
    const VoltScale s = VoltScaleOf(sens, n);
    std::vector<std::string> labels;
    for (int i = 0; i <= n; ++i)
        labels.push_back(VoltLabel(s, i));
    return labels;
}

std::string UnitOfCaption(std::string_view caption)
{
    std::string unit(caption);
    if (const auto space = unit.find(' '); space != std::string::npos)
        unit.erase(0, space + 1);
    if (const auto slash = unit.find('/'); slash != std::string::npos)
        unit.erase(slash);
    return unit;
}

AxisTexts XTextOut(const PlotGeometry& g, double timeBase)
{
    AxisTexts out;
    const int bottom = Trunc(g.PlotTop + g.PlotHeight);
    out.Clear = {10, bottom + 3, Trunc(g.PlotLeft + g.PlotWidth + MarginRight - 6), bottom + 12};

    const int n = g.TimeDivisions();
    const int y = Trunc(g.PlotTop + g.PlotHeight + 1);
    const auto labels = TimeLabelTexts(timeBase, n);
    for (int i = 0; i <= n; ++i) {
        const auto& text = labels[static_cast<size_t>(i)];
        const int x = Trunc(g.PlotLeft + g.PlotWidth / n * i - 3.0 * static_cast<double>(text.size()));
        out.Texts.push_back({text, x, y, false, TextColour::Frame, i});
    }
    out.Origin = n / 2;
    out.Texts.push_back({TimeUnitText(timeBase, n), Trunc(g.PlotLeft + g.PlotWidth + 12), y, true, TextColour::Frame});
    return out;
}

AxisTexts AYTextOut(const PlotGeometry& g, double sensA, std::string_view captionA)
{
    AxisTexts out;
    out.Clear = {2, Trunc(g.PlotTop - 5), MarginLeft - 3, Trunc(g.PlotTop + g.PlotHeight)};

    const int n = g.VoltDivisions();
    const VoltScale s = VoltScaleOf(sensA, n);
    for (int i = 0; i <= n; ++i) {
        std::string text = VoltLabel(s, i);
        int wd = 7 * static_cast<int>(text.size()) + 7;
        if (Contains(text, '-'))
            wd = Trunc(wd - 14.0 / 3);
        if (Contains(text, '.'))
            wd = Trunc(wd - 7.0 / 3);
        out.Texts.push_back(
            {std::move(text), Trunc(g.PlotLeft - wd), VoltLabelY(g, n, i), true, TextColour::ChannelA, i});
    }
    out.Origin = n / 2;
    out.Texts.push_back(
        {std::string(TitleEraser), Trunc(g.PlotLeft - 18), Trunc(g.PlotTop - 18), true, TextColour::Background});
    out.Texts.push_back({Title('A', captionA), 8, 2, true, TextColour::ChannelA});
    return out;
}

AxisTexts BYTextOut(const PlotGeometry& g, double sensB, std::string_view captionB)
{
    AxisTexts out;
    out.Clear = {Trunc(g.PlotLeft + g.PlotWidth + 5), Trunc(g.PlotTop - 5), g.SurfaceWidth - 2,
                 Trunc(g.PlotTop + g.PlotHeight)};

    const int n = g.VoltDivisions();
    const VoltScale s = VoltScaleOf(sensB, n);
    for (int i = 0; i <= n; ++i) {
        std::string text = VoltLabel(s, i);
        int shift = 0;
        if (Contains(text, '-'))
            shift = Trunc(14.0 / 3);
        if (Contains(text, '.'))
            shift = Trunc(7.0 / 3 + shift);
        out.Texts.push_back({std::move(text), Trunc(g.PlotLeft + g.PlotWidth + 7 - shift), VoltLabelY(g, n, i), true,
                             TextColour::ChannelB, i});
    }
    out.Origin = n / 2;
    out.Texts.push_back({std::string(TitleEraser), Trunc(g.PlotLeft + g.PlotWidth - 12), Trunc(g.PlotTop - 18), true,
                         TextColour::Background});
    out.Texts.push_back({Title('B', captionB), Trunc(g.PlotWidth), 2, true, TextColour::ChannelB});
    return out;
}

}  // namespace mirel::osc
