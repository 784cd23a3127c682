#include "spectrum/FrequencyAxis.h"

#include "common/ValueFormat.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>

namespace mirel::spectrum {

namespace {

// A grid frequency m × 10^Decade; Mantissa 0 for a band edge.
struct GridMark {
    double Hz = 0;
    int Mantissa = 0;
    int Decade = 0;
};

std::vector<GridMark> MarksOf(const FrequencyScale& s, std::initializer_list<int> mantissas)
{
    std::vector<GridMark> marks;
    const int first = static_cast<int>(std::floor(std::log10(s.Low)));
    const int last = static_cast<int>(std::floor(std::log10(s.High)));
    constexpr double slack = 1e-12;  // 20 Hz on a band that starts at 20 Hz
    for (int decade = first; decade <= last; ++decade) {
        for (const int m : mantissas) {
            // Divided for negative decades, so that 0.2 is the double that "0.2" reads as.
            const double hz = decade >= 0 ? m * std::pow(10.0, decade) : m / std::pow(10.0, -decade);
            if (hz >= s.Low * (1 - slack) && hz <= s.High * (1 + slack))
                marks.push_back({hz, m, decade});
        }
    }
    return marks;
}

std::vector<GridMark> GridMarks(const FrequencyScale& s)
{
    if (!s.Valid() || !s.Logarithmic)
        return {};
    std::vector<GridMark> marks = MarksOf(s, {1, 2, 5});
    if (marks.size() < 2)
        marks = MarksOf(s, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    if (marks.size() < 2)
        marks = {{s.Low}, {s.High}};
    return marks;
}

// Width estimates of the display font (11 pixels): the advance of a plain label, and the box of
// its glyphs, which start a pixel after the text's place and stand two to ten rows below it.
int PlainAdvance(const std::string& text)
{
    int width = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            width += text[i] == ',' ? 4 : 7;  // digits and «к» alike
    }
    return width;
}

TextBox GlyphsOf(const PlacedText& t, int advance, int height)
{
    return {t.X + 1, t.Y + 2, t.X + advance - 1, t.Y + 2 + height};
}

}  // namespace

FrequencyScale FrequencyScaleFor(const PlotGeometry& g, int lowFrequency, int highFrequency, bool logarithmic,
                                 int fftLength, int sampleRate)
{
    FrequencyScale s;
    s.Low = lowFrequency;
    s.High = highFrequency;
    s.Logarithmic = logarithmic;
    s.Left = g.PlotLeft;
    s.Width = g.PlotWidth;
    if (logarithmic && s.Low <= 0 && fftLength > 0 && sampleRate > 0)
        s.Low = static_cast<double>(sampleRate) / fftLength;
    return s;
}

double FrequencyX(double hz, const FrequencyScale& s)
{
    if (!s.Valid())
        return s.Left;
    if (!s.Logarithmic)
        return s.Left + s.Width * (hz - s.Low) / (s.High - s.Low);
    if (hz <= 0)
        return -std::numeric_limits<double>::infinity();
    return s.Left + s.Width * std::log(hz / s.Low) / std::log(s.High / s.Low);
}

double FrequencyAtX(double x, const FrequencyScale& s)
{
    if (!s.Valid())
        return s.Low;
    const double along = (x - s.Left) / s.Width;
    if (!s.Logarithmic)
        return s.Low + along * (s.High - s.Low);
    return s.Low * std::exp(along * std::log(s.High / s.Low));
}

int BinAtX(double x, const FrequencyScale& s, int fftLength, int sampleRate)
{
    if (fftLength < 2 || sampleRate <= 0)
        return 0;
    const double bin = std::round(FrequencyAtX(x, s) * fftLength / sampleRate);
    return static_cast<int>(std::clamp(bin, 1.0, fftLength / 2.0));
}

int FirstBinFromX(double x, const FrequencyScale& s, int fftLength, int sampleRate)
{
    if (fftLength < 2 || sampleRate <= 0)
        return 0;
    const int half = fftLength / 2;
    const double binHz = static_cast<double>(sampleRate) / fftLength;
    const auto xOf = [&](int k) { return FrequencyX(k * binHz, s); };
    // The inverse gives the bin to within rounding; FrequencyX itself has the last word.
    double estimate = std::ceil(FrequencyAtX(x, s) / binHz);
    int k = static_cast<int>(std::clamp(estimate, 0.0, half + 1.0));
    while (k > 0 && xOf(k - 1) >= x)
        --k;
    while (k <= half && xOf(k) < x)
        ++k;
    return k;
}

std::string LogFrequencyText(double hz)
{
    return hz >= 1000 ? GeneralFloatText(hz / 1000) + "к" : GeneralFloatText(hz);
}

std::vector<double> LogGridFrequencies(const FrequencyScale& s)
{
    std::vector<double> hz;
    for (const GridMark& mark : GridMarks(s))
        hz.push_back(mark.Hz);
    return hz;
}

std::vector<int> LogFreqGridLines(const FrequencyScale& s)
{
    std::vector<int> lines;
    for (const double hz : LogGridFrequencies(s)) {
        const int x = Trunc(FrequencyX(hz, s));
        if (x > s.Left && x < s.Left + s.Width)
            lines.push_back(x);
    }
    return lines;
}

AxisTexts LogFreqLabels(const PlotGeometry& g, const FrequencyScale& s)
{
    AxisTexts out;
    const int bottom = g.PlotBottom();
    out.Clear = {g.PlotLeft - 12, bottom + 5, g.PlotRight() + 12, bottom + 15};
    const PlacedText unit{"Гц", MarginLeft + g.PlotWidth + MarginRight - 7 * 2 - 7, bottom + 2, true};
    const TextBox unitBox = GlyphsOf(unit, 16, 10);
    out.Texts.push_back(unit);

    const std::vector<GridMark> marks = GridMarks(s);
    std::vector<PlacedText> labels;
    std::vector<TextBox> boxes;
    // Fewer labels at each level: all, 1-2-5 only, decades only, every `level − 1`-th decade.
    const auto keeps = [](const GridMark& m, int level) {
        if (level == 0)
            return true;
        if (level == 1)
            return m.Mantissa == 1 || m.Mantissa == 2 || m.Mantissa == 5;
        return m.Mantissa == 1 && m.Decade % (level - 1) == 0;
    };
    for (int level = 0;; ++level) {
        labels.clear();
        boxes.clear();
        for (const GridMark& m : marks) {
            if (!keeps(m, level))
                continue;
            std::string text = LogFrequencyText(m.Hz);
            const int advance = PlainAdvance(text);
            labels.push_back({std::move(text), Trunc(FrequencyX(m.Hz, s)) - advance / 2, bottom + 3, false,
                              TextColour::Frame, static_cast<int>(labels.size())});
            boxes.push_back(GlyphsOf(labels.back(), advance, 8));
        }
        bool clash = false;
        for (std::size_t i = 0; i < boxes.size() && !clash; ++i) {
            clash = TooClose(boxes[i], unitBox);
            for (std::size_t k = 0; k < i && !clash; ++k)
                clash = TooClose(boxes[k], boxes[i], LabelGapX);
        }
        if (!clash || labels.size() <= 1)
            break;
    }
    out.Texts.insert(out.Texts.end(), labels.begin(), labels.end());
    return out;
}

}  // namespace mirel::spectrum
