// Texts and grid of the spectrum display: frequency labels with the «,0» rule, level labels and
// captions at both sides, grid lines of the band.
#include "SpectrumLabels.h"

#include <gtest/gtest.h>

namespace mirel::spectrum {
namespace {

using Texts = std::vector<std::string>;

Texts TextsOf(const AxisTexts& axis, std::size_t from, std::size_t count)
{
    Texts texts;
    for (std::size_t i = from; i < from + count && i < axis.Texts.size(); ++i)
        texts.push_back(axis.Texts[i].Text);
    return texts;
}

// A plot 412 pixels wide and 260 high, at 40,20.
const PlotGeometry k412 = PlotGeometry::FromSurface(492, 300);

TEST(SpectrumLabels, FullBandOn412Pixels)
{
    EXPECT_EQ(FreqStep(k412, 0, 24000), 2000);
    const auto lines = FreqGridLines(k412, 0, 24000);
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines.front(), 74);  // 40 + 412 / 12
    EXPECT_EQ(lines.back(), 417);  // 40 + 412 × 11 / 12

    const AxisTexts labels = FreqLabels(k412, 0, 24000);
    EXPECT_EQ(labels.Clear.Left, 28);
    EXPECT_EQ(labels.Clear.Top, 285);
    EXPECT_EQ(labels.Clear.Right, 464);
    EXPECT_EQ(labels.Clear.Bottom, 295);
    ASSERT_EQ(labels.Texts.size(), 14u);
    const PlacedText& unit = labels.Texts[0];
    EXPECT_EQ(unit.Text, "кГц");
    EXPECT_EQ(unit.X, 464);
    EXPECT_EQ(unit.Y, 282);
    EXPECT_TRUE(unit.Bold);
    EXPECT_EQ(TextsOf(labels, 1, 13), (Texts{"0", "2", "4", "6", "8", "10", "12", "14", "16", "18", "20", "22", "24"}));
    EXPECT_EQ(labels.Texts[1].X, 37);
    EXPECT_EQ(labels.Texts.back().X, 40 + 412 - 6) << "the last label stands at the right edge";
    EXPECT_EQ(labels.Texts.back().Y, 283);
    EXPECT_FALSE(labels.Texts.back().Bold);
}

TEST(SpectrumLabels, StepsBelowAKilohertzWriteWholeNumbersWithACommaZero)
{
    EXPECT_EQ(FreqLabelText(2000, 500), "2,0");
    EXPECT_EQ(FreqLabelText(2500, 500), "2,5");
    EXPECT_EQ(FreqLabelText(2000, 1000), "2");
    EXPECT_EQ(FreqLabelText(11300, 100), "11,3");

    // 0..2 kHz on 420 pixels: the 100 Hz step fits exactly (20 labels of 21 pixels).
    const PlotGeometry g = PlotGeometry::FromSurface(500, 300);
    const AxisTexts labels = FreqLabels(g, 0, 2000);
    ASSERT_EQ(labels.Texts.size(), 22u);
    EXPECT_EQ(labels.Texts[1].Text, "0,0");
    EXPECT_EQ(labels.Texts[2].Text, "0,1");
    EXPECT_EQ(labels.Texts.back().Text, "2,0");
    EXPECT_EQ(labels.Texts.back().X, 460 - 7) << "a text with a comma is 2 pixels narrower each side";

    const AxisTexts band = FreqLabels(g, 11000, 12000);
    EXPECT_EQ(band.Texts[1].Text, "11,0");
    EXPECT_EQ(band.Texts[2].Text, "11,1");
}

TEST(SpectrumLabels, LevelLabelsAndCaptions)
{
    Texts volts{"0.05", "0.1", "0.15", "0.2", "0.25", "0.3", "0.35", "0.4", "0.45", "0.5",
                "0.55", "0.6", "0.65", "0.7", "0.75", "0.8", "0.85", "0.9", "0.95", "1"};
    EXPECT_EQ(LevelLabelTexts(1.0), volts);
    const Texts milli = LevelLabelTexts(0.01);
    EXPECT_EQ(milli.front(), "0.5");
    EXPECT_EQ(milli[1], "1");
    EXPECT_EQ(milli[2], "1.5");
    EXPECT_EQ(milli.back(), "10");
    EXPECT_EQ(LevelLabelTexts(4e-12).back(), "4");

    EXPECT_EQ(ChannelCaption('A', 1.0, true), "Канал A (В)");
    EXPECT_EQ(ChannelCaption('B', 0.01, true), "Канал B (мВ)");
    EXPECT_EQ(ChannelCaption('A', 1e-12, false), "Канал A (пВт)");
    EXPECT_EQ(ChannelCaption('B', 400, false), "Канал B (Вт)");
}

TEST(SpectrumLabels, LevelLabelsStandAtBothSidesOfThePlot)
{
    const PlotGeometry g = PlotGeometry::FromSurface(500, 300);
    const AxisTexts a = LevelLabelsA(g, 1.0, true);
    EXPECT_EQ(a.Clear.Left, 2);
    EXPECT_EQ(a.Clear.Right, 37);
    ASSERT_EQ(a.Texts.size(), 23u);
    EXPECT_EQ(a.Texts[0].Text, "0.05");
    EXPECT_EQ(a.Texts[0].X, 40 - 28);   // 7 × 4 + 2, less 2 from 1 up
    EXPECT_EQ(a.Texts[0].Y, 260);       // 0.95 × 260 + 13
    EXPECT_EQ(a.Texts[19].X, 40 - 10);  // «1»: 7 + 2 + 3 − 2
    EXPECT_EQ(a.Texts[19].Y, 13);
    EXPECT_EQ(a.Texts[19].Colour, TextColour::ChannelA);
    EXPECT_EQ(a.Texts[20].Text, std::string(25, ' '));
    EXPECT_EQ(a.Texts[20].Colour, TextColour::Background);
    EXPECT_EQ(a.Texts[21].Text, "Канал A (В)");
    EXPECT_EQ(a.Texts[21].X, 8);
    EXPECT_EQ(a.Texts[21].Y, 2);
    EXPECT_EQ(a.Texts[22].Text, "0");
    EXPECT_EQ(a.Texts[22].X, 27);
    EXPECT_EQ(a.Texts[22].Y, 270);

    const AxisTexts b = LevelLabelsB(g, 0.01, false);
    EXPECT_EQ(b.Clear.Left, 461);
    EXPECT_EQ(b.Clear.Right, 497);
    EXPECT_EQ(b.Texts[0].X, 462);  // «0.5»: no shift
    EXPECT_EQ(b.Texts[1].X, 464);  // «1»: 2 for the missing point
    EXPECT_EQ(b.Texts[20].Text, std::string(22, ' '));
    EXPECT_EQ(b.Texts[21].Text, "Канал B (мВт)");
    EXPECT_EQ(b.Texts[21].X, 408);
    EXPECT_EQ(b.Texts[21].Colour, TextColour::ChannelB);
    EXPECT_EQ(b.Texts[22].X, 462);
}

}  // namespace
}  // namespace mirel::spectrum
