#include "density/DensityLabels.h"

#include "common/ValueFormat.h"

namespace mirel::pv {

namespace {

// A real number with a decimal point, at least one and at most ten digits after it.
std::string DensityLabel(double value)
{
    std::string text = GeneralFloatText(value);
    const auto comma = text.find(',');
    if (comma == std::string::npos)
        return text + ".0";
    text[comma] = '.';
    if (text.size() > comma + 11)
        text.erase(comma + 11);
    return text;
}

// The labels of one channel, at the horizontal positions `xOf` gives for a label.
template <class XOf>
void AddDensityLabels(AxisTexts& out, const PlotGeometry& plot, double fullScale, TextColour colour, XOf xOf)
{
    const auto labels = DensityLabelTexts(fullScale);
    for (int i = 0; i <= DensityDivisions; ++i) {
        const std::string& text = labels[static_cast<std::size_t>(i)];
        const int y = i == DensityDivisions
                          ? plot.Bottom() - 14
                          : Trunc(plot.PlotTop + static_cast<double>(plot.PlotHeight) / DensityDivisions * i) - 7;
        out.Texts.push_back({text, xOf(text), y, true, colour, i});
    }
    out.Origin = DensityDivisions;
}

}  // namespace

std::vector<std::string> LevelLabelTexts()
{
    std::vector<std::string> labels;
    for (int i = 0; i <= LevelDivisions; ++i) {
        // Tenths of a volt, written in units of ten; zero comes back as «0.0 » with a blank.
        std::string text = ValueToStr(1, i - LevelDivisions / 2);
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        if (text.find('.') == std::string::npos)
            text += ".0";
        labels.push_back(std::move(text));
    }
    return labels;
}

std::vector<std::string> DensityLabelTexts(double fullScale)
{
    std::vector<std::string> labels;
    for (int i = 0; i <= DensityDivisions; ++i)
        labels.push_back(DensityLabel(fullScale * (DensityDivisions - i) / DensityDivisions));
    return labels;
}

AxisTexts XTextOut(const PlotGeometry& plot)
{
    AxisTexts out;
    out.Clear = {3, plot.Bottom() + 3, plot.SurfaceWidth - 6, plot.Bottom() + 12};
    const int y = plot.Bottom() + 1;
    const auto labels = LevelLabelTexts();
    for (int i = 0; i <= LevelDivisions; ++i) {
        const std::string& text = labels[static_cast<std::size_t>(i)];
        const int x = Trunc(plot.PlotLeft + static_cast<double>(plot.PlotWidth) / LevelDivisions * i -
                            (3 * Utf8Length(text) - 2));
        out.Texts.push_back({text, x, y, false, TextColour::Frame, i});
    }
    out.Origin = LevelDivisions / 2;
    out.Texts.push_back({"В", plot.Right() + 12, y, true, TextColour::Frame});
    return out;
}

AxisTexts AYTextOut(const PlotGeometry& plot, double scaleA, bool normalised)
{
    AxisTexts out;
    out.Clear = {3, plot.PlotTop - 5, plot.PlotLeft - 3, plot.Bottom()};
    out.Texts.push_back({"Канал A", 8, 2, true, TextColour::ChannelA});
    AddDensityLabels(out, plot, normalised ? 1.0 : scaleA, TextColour::ChannelA,
                     [&](const std::string& text) { return plot.PlotLeft - 7 * Utf8Length(text); });
    return out;
}

AxisTexts BYTextOut(const PlotGeometry& plot, double scaleB, bool normalised)
{
    AxisTexts out;
    out.Clear = {plot.Right() + 5, plot.PlotTop - 5, plot.SurfaceWidth - 3, plot.Bottom()};
    out.Texts.push_back({"Канал B", plot.Right() - 18, 2, true, TextColour::ChannelB});
    AddDensityLabels(out, plot, normalised ? 1.0 : scaleB, TextColour::ChannelB,
                     [&](const std::string&) { return plot.Right() + 4; });
    return out;
}

}  // namespace mirel::pv
