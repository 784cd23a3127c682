// Texts and grid of the spectrum display: frequency labels with the «,0» rule, level labels and
// captions at both sides, grid lines of the band.
#include "spectrum/SpectrumLabels.h"

#include <gtest/gtest.h>

namespace mirel::spectrum {
namespace {

using Texts = std::vector<std::string>;

Texts TextsOf(const AxisTexts& axis, std::size_t from = 0)
{
    Texts texts;
    for (std::size_t i = from; i < axis.Texts.size(); ++i)
        texts.push_back(axis.Texts[i].Text);
    return texts;
}

// Plots at 40,20, 260 pixels high: 412 or 420 pixels wide.
const PlotGeometry k412 = PlotGeometry::FromSurface(492, 300);
const PlotGeometry k420 = PlotGeometry::FromSurface(500, 300);

TEST(SpectrumLabels, FullBandOn412Pixels)
{
    const auto lines = FreqGridLines(k412, 0, 24000);  // a line every 2 kHz
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines.front(), 74);  // 40 + 412 / 12
    EXPECT_EQ(lines.back(), 417);  // 40 + 412 × 11 / 12

    const AxisTexts labels = FreqLabels(k412, 0, 24000);
    EXPECT_EQ(labels.Clear.Top, 285);
    EXPECT_EQ(labels.Clear.Right, 464);
    const PlacedText& unit = labels.Texts.front();
    EXPECT_EQ(unit.Text, "кГц");
    EXPECT_EQ(unit.X, 464);
    EXPECT_TRUE(unit.Bold);
    EXPECT_EQ(TextsOf(labels, 1), (Texts{"0", "2", "4", "6", "8", "10", "12", "14", "16", "18", "20", "22", "24"}));
    EXPECT_EQ(labels.Texts[1].X, 37);
    EXPECT_EQ(labels.Texts.back().X, 40 + 412 - 6) << "the last label stands at the right edge";
    EXPECT_EQ(labels.Texts.back().Y, 283);
}

TEST(SpectrumLabels, StepsBelowAKilohertzWriteWholeNumbersWithACommaZero)
{
    EXPECT_EQ(FreqLabelText(2000, 500), "2,0");
    EXPECT_EQ(FreqLabelText(2500, 500), "2,5");
    EXPECT_EQ(FreqLabelText(2000, 1000), "2");

    // 0..2 kHz on 420 pixels: the 100 Hz step fits exactly (20 labels of 21 pixels).
    const Texts labels = TextsOf(FreqLabels(k420, 0, 2000), 1);
    ASSERT_EQ(labels.size(), 21u);
    EXPECT_EQ(labels[0], "0,0");
    EXPECT_EQ(labels[1], "0,1");
    EXPECT_EQ(labels[20], "2,0");
    EXPECT_EQ(FreqLabels(k420, 0, 2000).Texts.back().X, 460 - 7) << "a text with a comma is narrower by 2 each side";
    EXPECT_EQ(TextsOf(FreqLabels(k420, 11000, 12000), 1)[1], "11,1");
}

TEST(SpectrumLabels, LevelLabelsAndCaptionsAtBothSides)
{
    EXPECT_EQ(LevelLabelTexts(1.0), (Texts{"0.05", "0.1", "0.15", "0.2", "0.25", "0.3", "0.35", "0.4", "0.45", "0.5",
                                           "0.55", "0.6", "0.65", "0.7", "0.75", "0.8", "0.85", "0.9", "0.95", "1"}));
    const Texts milli = LevelLabelTexts(0.01);
    EXPECT_EQ(milli.front(), "0.5");
    EXPECT_EQ(milli[2], "1.5");
    EXPECT_EQ(milli.back(), "10");
    EXPECT_EQ(ChannelCaption('A', 1e-12, false), "Канал A (пВт)");
    EXPECT_EQ(ChannelCaption('B', 400, false), "Канал B (Вт)");

    // A: right-aligned against the plot, the lowest label on the lowest grid line; then the
    // caption's eraser, the caption and the zero.
    const AxisTexts a = LevelLabelsA(k420, 1.0, true);
    EXPECT_EQ(a.Clear.Right, 37);
    EXPECT_EQ(TextsOf(a, 20), (Texts{std::string(25, ' '), "Канал A (В)", "0"}));
    EXPECT_EQ(a.Texts[0].X, 40 - 28);   // «0.05»: 7 × 4 + 2, less 2 from 1 V up
    EXPECT_EQ(a.Texts[0].Y, 260);       // 0.95 × 260 + 13
    EXPECT_EQ(a.Texts[19].X, 40 - 10);  // «1»: 7 + 2 + 3 − 2
    EXPECT_EQ(a.Texts[19].Y, 13);
    EXPECT_EQ(a.Texts[21].Colour, TextColour::ChannelA);

    // B: left-aligned after the plot, shifted 2 where there is no point.
    const AxisTexts b = LevelLabelsB(k420, 0.01, false);
    EXPECT_EQ(b.Clear.Left, 461);
    EXPECT_EQ(TextsOf(b, 20), (Texts{std::string(22, ' '), "Канал B (мВт)", "0"}));
    EXPECT_EQ(b.Texts[0].X, 462);  // «0.5»
    EXPECT_EQ(b.Texts[1].X, 464);  // «1»
    EXPECT_EQ(b.Texts[21].X, 408);
    EXPECT_EQ(b.Texts[21].Colour, TextColour::ChannelB);
}

}  // namespace
}  // namespace mirel::spectrum
