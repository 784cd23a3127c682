#include "common/PlotText.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace mirel {

bool TooClose(const TextBox& a, const TextBox& b, int gapX)
{
    if (a.Left >= a.Right || a.Top >= a.Bottom || b.Left >= b.Right || b.Top >= b.Bottom)
        return false;  // no glyphs
    const int horizontal = std::max(b.Left - a.Right, a.Left - b.Right);
    const int vertical = std::max(b.Top - a.Bottom, a.Top - b.Bottom);
    return horizontal < gapX && vertical < TextGapY;
}

namespace {

struct Fitting {
    std::vector<bool> Keep;
    bool LabelsClash = false;  // a label was left out for another label
};

// The texts kept when the fixed ones go first and then the labels at every `stride`-th place.
Fitting Place(const AxisTexts& texts, const std::vector<TextBox>& boxes, const std::vector<TextBox>& shown,
              const std::vector<bool>& fixed, int stride)
{
    const std::size_t n = texts.Texts.size();
    Fitting fit{std::vector<bool>(n, false)};
    std::vector<TextBox> kept = shown;
    std::vector<bool> keptOnScale(shown.size(), false);  // a text of this scale with its Index
    std::vector<bool> keptLabel(shown.size(), false);    // one of the labels at every stride-th place
    const auto consider = [&](std::size_t i, bool label) {
        const bool onScale = texts.Texts[i].Index >= 0;
        for (std::size_t k = 0; k < kept.size(); ++k) {
            if (TooClose(kept[k], boxes[i], onScale && keptOnScale[k] ? LabelGapX : TextGapX)) {
                fit.LabelsClash = fit.LabelsClash || (label && keptLabel[k]);
                return;
            }
        }
        fit.Keep[i] = true;
        kept.push_back(boxes[i]);
        keptOnScale.push_back(onScale);
        keptLabel.push_back(label);
    };
    for (std::size_t i = 0; i < n; ++i) {
        if (texts.Texts[i].Colour == TextColour::Background)
            fit.Keep[i] = true;
        else if (fixed[i])
            consider(i, false);
    }
    for (std::size_t i = 0; i < n; ++i) {
        const PlacedText& t = texts.Texts[i];
        if (t.Colour != TextColour::Background && !fixed[i] && (t.Index - texts.Origin) % stride == 0)
            consider(i, true);
    }
    return fit;
}

}  // namespace

std::vector<bool> FitTexts(const AxisTexts& texts, const std::vector<TextBox>& boxes, const std::vector<TextBox>& shown)
{
    int first = texts.Origin;
    int last = texts.Origin;
    for (const PlacedText& t : texts.Texts) {
        if (t.Index >= 0) {
            first = std::min(first, t.Index);
            last = std::max(last, t.Index);
        }
    }
    std::vector<bool> fixed;
    for (const PlacedText& t : texts.Texts)
        fixed.push_back(t.Index < 0 || t.Index == first || t.Index == last || t.Index == texts.Origin);

    // Strides that divide the way from the zero to both ends keep the labels evenly spaced up to
    // the ends; the others only when none of those fits.
    const int whole = std::max(std::gcd(texts.Origin - first, last - texts.Origin), 1);
    std::vector<int> strides;
    for (int s = 1; s < whole; ++s)
        if (whole % s == 0)
            strides.push_back(s);
    for (int s = 2; s < whole; ++s)
        if (whole % s != 0)
            strides.push_back(s);
    strides.push_back(whole);
    for (const int stride : strides) {
        Fitting fit = Place(texts, boxes, shown, fixed, stride);
        if (!fit.LabelsClash || stride == whole)
            return std::move(fit.Keep);
    }
    return {};
}

std::string UpToFirstBlank(std::string text)
{
    if (const auto space = text.find(' '); space != std::string::npos)
        text.erase(space);
    return text;
}

std::string AfterFirstBlank(std::string_view text)
{
    const auto space = text.find(' ');
    return std::string(space == std::string_view::npos ? text : text.substr(space + 1));
}

bool Contains(std::string_view text, char c)
{
    return text.find(c) != std::string_view::npos;
}

int Utf8Length(std::string_view text)
{
    int n = 0;
    for (const char c : text)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

int Trunc(double value)
{
    return static_cast<int>(std::trunc(value));
}

}  // namespace mirel
