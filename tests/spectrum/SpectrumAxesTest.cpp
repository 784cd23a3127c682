// The display's decibel scale and logarithmic frequency axis: where levels and frequencies stand,
// the grid levels and labels, and that no two labels come too close at the window's smallest and a
// large size (surfaces of 500 × 302 and 1280 × 652).
#include "spectrum/FrequencyAxis.h"
#include "spectrum/LevelAxis.h"
#include "spectrum/SpectrumLabels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace mirel::spectrum {
namespace {

const PlotGeometry kSmall = PlotGeometry::FromSurface(500, 302);   // plot 420 × 262
const PlotGeometry kLarge = PlotGeometry::FromSurface(1280, 652);  // plot 1200 × 612

// The glyph box of a text as the display font draws it: 7 pixels a character, 8 in bold, 4 for a
// comma, 5 for a minus and 9 for a plus; rows 2 … 10 below its place, 1 … 12 for words, whose
// letters reach higher and lower than the digits.
TextBox Glyphs(const PlacedText& t)
{
    int width = 0;
    for (const char c : t.Text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            width += c == ',' ? 4 : c == '-' ? 5 : c == '+' ? 9 : t.Bold ? 8 : 7;
    const bool word =
        t.Text.size() > 2 && t.Text.find("к") == std::string::npos && Utf8Length(t.Text) < int(t.Text.size());
    return {t.X + 1, t.Y + (word ? 1 : 2), t.X + width - 1, t.Y + (word ? 12 : 10)};
}

std::vector<TextBox> BoxesOf(const AxisTexts& texts)
{
    std::vector<TextBox> boxes;
    for (const PlacedText& t : texts.Texts)
        boxes.push_back(t.Colour == TextColour::Background ? TextBox{} : Glyphs(t));
    return boxes;
}

// The texts FitTexts would leave out of `texts` with such boxes, beside the texts `shown`.
std::vector<std::string> LeftOut(const AxisTexts& texts, const AxisTexts& shown = {})
{
    const std::vector<bool> keep = FitTexts(texts, BoxesOf(texts), BoxesOf(shown));
    std::vector<std::string> out;
    for (std::size_t i = 0; i < keep.size(); ++i)
        if (!keep[i])
            out.push_back(texts.Texts[i].Text);
    return out;
}

std::vector<std::string> LabelTexts(const AxisTexts& texts)
{
    std::vector<std::string> out;
    for (const PlacedText& t : texts.Texts)
        if (t.Index >= 0)
            out.push_back(t.Text);
    return out;
}

TEST(LevelAxis, LevelsStandAtTheirFractionOfTheHeight)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double level;
        bool amplitude, decibels;
        int top, span;
        double expected;
    } cases[] = {
        {0.25, true, false, 0, 100, 0.5},  // linear, of the full scale 0.5
        {1, true, true, 0, 100, 1},          {0.1, true, true, 0, 100, 0.8},
        {1e-5, true, true, 0, 100, 0},       {1e-6, true, true, 0, 100, 0},  // below the span: the bottom edge
        {0, true, true, 0, 100, 0},          {nan, true, true, 0, 100, 0},
        {10, true, true, 0, 100, 1.2},        // above the top: left for the caller to clip
        {0.5, true, true, 20, 80, 0.674743},  // −6.0206 dBV
        {1, false, true, 10, 60, 50.0 / 60}, {1e-3, false, true, 10, 60, 20.0 / 60},  // 0 and −30 dBW
    };
    for (const Case& c : cases) {
        const ViewSettings view{.Decibels = c.decibels, .TopDb = c.top, .SpanDb = c.span};
        EXPECT_NEAR(LevelFraction(c.level, c.amplitude, view, 0.5), c.expected, 1e-6)
            << c.level << (c.amplitude ? " V " : " W ") << c.top << "/" << c.span;
    }
}

TEST(LevelAxis, GridEvery10DbOrEvery20WhereLabelsWouldCrowd)
{
    struct Case {
        const PlotGeometry& plot;
        int top, span;
        int step;
        std::vector<std::string> labels;  // bottom first
        int middleDb, middleY;
    } cases[] = {
        {kSmall, 0, 100, 10, {"-100", "-90", "-80", "-70", "-60", "-50", "-40", "-30", "-20", "-10", "0"}, -50, 151},
        {kSmall, 0, 120, 20, {"-120", "-100", "-80", "-60", "-40", "-20", "0"}, -60, 151},
        {kSmall, 20, 60, 10, {"-40", "-30", "-20", "-10", "0", "+10", "+20"}, -10, 151},
        {kLarge,
         20,
         120,
         10,
         {"-100", "-90", "-80", "-70", "-60", "-50", "-40", "-30", "-20", "-10", "0", "+10", "+20"},
         -40,
         326},
    };
    for (const Case& c : cases) {
        const ViewSettings view{.Decibels = true, .TopDb = c.top, .SpanDb = c.span};
        EXPECT_EQ(DbStep(c.plot, view), c.step) << c.span;
        const std::vector<DbLine> lines = DbLines(c.plot, view);
        ASSERT_EQ(lines.size(), c.labels.size());
        EXPECT_EQ(lines.front().Y, c.plot.PlotTop);
        EXPECT_EQ(lines.back().Y, c.plot.PlotBottom());
        for (const DbLine& line : lines) {
            if (line.Db == c.middleDb) {
                EXPECT_EQ(line.Y, c.middleY) << line.Db;
            }
        }
        for (const bool amplitude : {true, false}) {
            const AxisTexts a = DbLabelsA(c.plot, view, amplitude);
            const AxisTexts b = DbLabelsB(c.plot, view, amplitude);
            EXPECT_EQ(LabelTexts(a), c.labels);
            EXPECT_EQ(a.Texts.back().Text, amplitude ? "Канал A (дБВ)" : "Канал A (дБВт)");
            EXPECT_EQ(b.Texts.back().Text, amplitude ? "Канал B (дБВ)" : "Канал B (дБВт)");
            EXPECT_LE(b.Texts.back().X + (amplitude ? 94 : 99), c.plot.SurfaceWidth) << "the caption's width in bold";
            // Beside either frequency axis.
            const FrequencyScale log = FrequencyScaleFor(c.plot, 0, 24000, true, 32768, 48000);
            for (const AxisTexts& axis : {FreqLabels(c.plot, 0, 24000), LogFreqLabels(c.plot, log)}) {
                EXPECT_EQ(LeftOut(a, axis), std::vector<std::string>{}) << c.span;
                EXPECT_EQ(LeftOut(b, axis), std::vector<std::string>{}) << c.span;
                // The strips are cleared when a scale changes: never over the axis's texts.
                for (const PlacedText& text : axis.Texts)
                    EXPECT_LE(b.Clear.Bottom, text.Y) << text.Text;
            }
            // Right-aligned against the plot at A, left-aligned after it at B, inside their strips.
            for (std::size_t i = 0; i < c.labels.size(); ++i) {
                EXPECT_EQ(Glyphs(a.Texts[i]).Right, c.plot.PlotLeft - 4) << a.Texts[i].Text;
                EXPECT_EQ(Glyphs(b.Texts[i]).Left, c.plot.PlotRight() + 5) << b.Texts[i].Text;
            }
            EXPECT_GE(a.Texts.front().X, a.Clear.Left) << "the widest label inside the strip";
        }
    }
}

TEST(FrequencyAxis, ColumnsOfTheBandEdgesAndDecades)
{
    struct Case {
        const PlotGeometry& plot;
        int low, high;
        bool log;
        double hz;
        int column;
    } cases[] = {
        // A band from 0 starts at the first bin, 48000 / 32768 = 1.46 Hz: 14 octaves up to 24 kHz.
        {kSmall, 0, 24000, true, 48000.0 / 32768, 40},
        {kSmall, 0, 24000, true, 1000, 322},
        {kSmall, 0, 24000, true, 10000, 422},
        {kSmall, 0, 24000, true, 24000, 460},
        {kLarge, 0, 24000, true, 1000, 847},
        {kLarge, 0, 24000, true, 10000, 1131},
        {kLarge, 0, 24000, true, 24000, 1240},
        // 20 Hz … 20 kHz: three decades of 140 or 400 pixels.
        {kSmall, 20, 20000, true, 20, 40},
        {kSmall, 20, 20000, true, 1000, 277},
        {kSmall, 20, 20000, true, 10000, 417},
        {kSmall, 20, 20000, true, 20000, 460},
        {kLarge, 20, 20000, true, 1000, 719},
        {kLarge, 20, 20000, true, 10000, 1119},
        {kLarge, 20, 20000, true, 20000, 1240},
        // The linear scale as the plain axis has it.
        {kSmall, 0, 24000, false, 0, 40},
        {kSmall, 0, 24000, false, 1000, 57},
        {kSmall, 2000, 4000, false, 3000, 250},
    };
    for (const Case& c : cases) {
        const FrequencyScale scale = FrequencyScaleFor(c.plot, c.low, c.high, c.log, 32768, 48000);
        const double x = FrequencyX(c.hz, scale);
        EXPECT_EQ(Trunc(x), c.column) << c.hz << " Hz on " << c.plot.PlotWidth << " pixels";
        EXPECT_NEAR(FrequencyAtX(x, scale), c.hz, c.hz * 1e-12 + 1e-9) << "back from the column";
    }
    // The cursor's bin: 1 kHz lies at bin 682.67.
    const FrequencyScale full = FrequencyScaleFor(kSmall, 0, 24000, true, 32768, 48000);
    EXPECT_EQ(BinAtX(FrequencyX(1000, full), full, 32768, 48000), 683);
    EXPECT_EQ(BinAtX(0, full, 32768, 48000), 1);
}

TEST(FrequencyAxis, EachBinFallsInTheColumnThatHoldsIt)
{
    for (const bool log : {true, false}) {
        const FrequencyScale scale = FrequencyScaleFor(kSmall, 0, 24000, log, 32768, 48000);
        int next = FirstBinFromX(scale.Left, scale, 32768, 48000);
        EXPECT_EQ(next, log ? 1 : 0);
        for (int column = scale.Left; column < scale.Left + scale.Width; ++column) {
            const int end = FirstBinFromX(column + 1, scale, 32768, 48000);
            ASSERT_GE(end, next);
            for (int k = next; k < end; ++k)
                ASSERT_EQ(Trunc(FrequencyX(k * 48000.0 / 32768, scale)), column) << "bin " << k << (log ? " log" : "");
            next = end;
        }
        EXPECT_EQ(next, 16384) << "all bins below the right edge, 24 kHz, in some column";
    }
}

TEST(FrequencyAxis, LogarithmicLabelsNeverCrowd)
{
    const PlotGeometry narrow = PlotGeometry::FromSurface(200, 302);  // 120 pixels: decades only
    struct Case {
        const PlotGeometry& plot;
        int low, high;
        std::vector<std::string> labels;
    } cases[] = {
        {kSmall, 0, 24000, {"2", "5", "10", "20", "50", "100", "200", "500", "1к", "2к", "5к", "10к", "20к"}},
        {kLarge, 0, 24000, {"2", "5", "10", "20", "50", "100", "200", "500", "1к", "2к", "5к", "10к", "20к"}},
        {kSmall, 20, 20000, {"20", "50", "100", "200", "500", "1к", "2к", "5к", "10к", "20к"}},
        {kLarge, 20, 20000, {"20", "50", "100", "200", "500", "1к", "2к", "5к", "10к", "20к"}},
        {narrow, 0, 24000, {"10", "100", "1к", "10к"}},
        {kSmall, 2000, 4000, {"2к", "3к", "4к"}},  // less than a decade: 1 … 9
        {kSmall, 22000, 24000, {"22к", "24к"}},    // not even those: the edges
    };
    for (const Case& c : cases) {
        const FrequencyScale scale = FrequencyScaleFor(c.plot, c.low, c.high, true, 32768, 48000);
        const AxisTexts texts = LogFreqLabels(c.plot, scale);
        EXPECT_EQ(texts.Texts.front().Text, "Гц");
        EXPECT_EQ(LabelTexts(texts), c.labels) << c.plot.PlotWidth;
        EXPECT_TRUE(LeftOut(texts).empty()) << c.plot.PlotWidth;
        // Each label inside the plot centred on its grid line.
        std::vector<int> centres;
        for (const PlacedText& t : texts.Texts) {
            const TextBox box = Glyphs(t);
            if (t.Index >= 0)
                centres.push_back((box.Left - 1 + box.Right + 1) / 2);
            EXPECT_GE(box.Left, texts.Clear.Left);
            EXPECT_LE(box.Right, t.Index >= 0 ? texts.Clear.Right : c.plot.SurfaceWidth);
        }
        const std::vector<int> lines = LogFreqGridLines(scale);
        for (const int x : centres) {
            if (x > c.plot.PlotLeft && x < c.plot.PlotRight()) {
                EXPECT_NE(std::find(lines.begin(), lines.end(), x), lines.end()) << x;
            }
        }
    }
}

}  // namespace
}  // namespace mirel::spectrum
