#include "spectrum/SpectrumLabels.h"

#include "common/ValueFormat.h"

namespace mirel::spectrum {

namespace {

// Labels are centred on their grid line; the top one (i = 20) on the plot's top edge.
int LevelLabelY(const PlotGeometry& g, int i)
{
    return Trunc((1 - static_cast<double>(i) / LevelDivisions) * g.PlotHeight + (g.PlotTop - 7));
}

// Blanks that erase the longest caption of each side before the new one is written.
const std::string CaptionEraserA(25, ' ');
const std::string CaptionEraserB(22, ' ');

}  // namespace

int FreqStep(const PlotGeometry& g, int lowFrequency, int highFrequency)
{
    return GetFreqStep(lowFrequency, highFrequency, g.PlotWidth);
}

std::string FreqLabelText(int frequency, int step)
{
    std::string text = GeneralFloatText(frequency / 1000.0);
    if (step < 1000 && !Contains(text, ','))
        text += ",0";
    return text;
}

AxisTexts FreqLabels(const PlotGeometry& g, int lowFrequency, int highFrequency)
{
    AxisTexts out;
    const int bottom = g.PlotBottom();
    out.Clear = {g.PlotLeft - 12, bottom + 5, g.PlotRight() + 12, bottom + 15};
    out.Texts.push_back(
        {"кГц", MarginLeft + g.PlotWidth + MarginRight - 7 * 3 - 7, bottom + 2, true, TextColour::Frame});

    const int span = highFrequency - lowFrequency;
    const int step = FreqStep(g, lowFrequency, highFrequency);
    for (int f = 0, i = 0; f <= span; f += step, ++i) {
        const int offset = span > 0 ? Trunc(static_cast<double>(g.PlotWidth) * f / span) : 0;
        std::string text = FreqLabelText(lowFrequency + f, step);
        const int halfWidth = 3 * Utf8Length(text) - (Contains(text, ',') ? 2 : 0);
        out.Texts.push_back(
            {std::move(text), g.PlotLeft + offset - halfWidth, bottom + 3, false, TextColour::Frame, i});
    }
    return out;
}

std::vector<std::string> LevelLabelTexts(double fullScale)
{
    const int exponent = LevelExponent(fullScale);
    std::vector<std::string> labels;
    labels.reserve(LevelDivisions);
    for (int i = 1; i <= LevelDivisions; ++i) {
        labels.push_back(UpToFirstBlank(ValueToStr(exponent, fullScale * i / LevelDivisions)));
    }
    return labels;
}

std::string ChannelCaption(char channel, double fullScale, bool amplitudeMode)
{
    const std::string unit =
        AfterFirstBlank(ValueToStr(LevelExponent(fullScale), fullScale) + LevelUnit(amplitudeMode));
    return std::string("Канал ") + channel + " (" + unit + ")";
}

AxisTexts LevelLabelsA(const PlotGeometry& g, double fullScaleA, bool amplitudeMode)
{
    AxisTexts out;
    out.Clear = {2, g.PlotTop - 6, g.PlotLeft - 3, g.PlotBottom() - 6};
    const auto labels = LevelLabelTexts(fullScaleA);
    for (int i = 1; i <= LevelDivisions; ++i) {
        const std::string& text = labels[static_cast<std::size_t>(i - 1)];
        int width = 7 * Utf8Length(text) + 2;
        if (!Contains(text, '.'))
            width += 3;
        if (fullScaleA >= 1)
            width -= 2;
        out.Texts.push_back({text, g.PlotLeft - width, LevelLabelY(g, i), true, TextColour::ChannelA, i});
    }
    out.Texts.push_back({CaptionEraserA, 8, g.PlotTop - 18, true, TextColour::Background});
    out.Texts.push_back(
        {ChannelCaption('A', fullScaleA, amplitudeMode), 8, g.PlotTop - 18, true, TextColour::ChannelA});
    out.Texts.push_back({"0", g.PlotLeft - 13, g.PlotBottom() - 10, false, TextColour::Frame, 0});
    return out;
}

AxisTexts LevelLabelsB(const PlotGeometry& g, double fullScaleB, bool amplitudeMode)
{
    AxisTexts out;
    out.Clear = {g.PlotRight() + 1, g.PlotTop - 6, 2 * g.PlotLeft + g.PlotWidth - 3, g.PlotBottom() - 6};
    const auto labels = LevelLabelTexts(fullScaleB);
    for (int i = 1; i <= LevelDivisions; ++i) {
        const std::string& text = labels[static_cast<std::size_t>(i - 1)];
        int shift = Contains(text, '.') ? 0 : 2;
        if (fullScaleB >= 1)
            shift += 2;
        out.Texts.push_back({text, g.PlotRight() + 2 + shift, LevelLabelY(g, i), true, TextColour::ChannelB, i});
    }
    out.Texts.push_back({CaptionEraserB, g.PlotWidth - 12, g.PlotTop - 18, true, TextColour::Background});
    out.Texts.push_back(
        {ChannelCaption('B', fullScaleB, amplitudeMode), g.PlotWidth - 12, g.PlotTop - 18, true, TextColour::ChannelB});
    out.Texts.push_back({"0", g.PlotRight() + 2, g.PlotBottom() - 10, false, TextColour::Frame, 0});
    return out;
}

std::vector<int> FreqGridLines(const PlotGeometry& g, int lowFrequency, int highFrequency)
{
    std::vector<int> lines;
    const int span = highFrequency - lowFrequency;
    if (span <= 0)
        return lines;
    const int step = FreqStep(g, lowFrequency, highFrequency);
    for (int f = step; f < span; f += step)
        lines.push_back(Trunc(static_cast<double>(g.PlotWidth) * f / span + g.PlotLeft));
    return lines;
}

}  // namespace mirel::spectrum
