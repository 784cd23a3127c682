#include "DensityLabels.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace mirel::pv {
namespace {

using Texts = std::vector<std::string>;

const PlotGeometry kPlot = PlotGeometry::FromSurface(500, 300);  // plot 40,20 420 × 260

using Rect = std::array<int, 4>;  // left, top, right, bottom

Rect Corners(const ClearRect& r)
{
    return {r.Left, r.Top, r.Right, r.Bottom};
}

Texts TextsOf(const AxisTexts& texts, std::size_t from = 0)
{
    Texts out;
    for (std::size_t i = from; i < texts.Texts.size(); ++i)
        out.push_back(texts.Texts[i].Text);
    return out;
}

TEST(DensityLabels, LevelLabelsInVolts)
{
    EXPECT_EQ(LevelLabelTexts(),
              (Texts{"-1.0", "-0.9", "-0.8", "-0.7", "-0.6", "-0.5", "-0.4", "-0.3", "-0.2", "-0.1", "0.0",
                     "0.1",  "0.2",  "0.3",  "0.4",  "0.5",  "0.6",  "0.7",  "0.8",  "0.9",  "1.0"}));
}

TEST(DensityLabels, DensityLabelsTopToBottom)
{
    struct Case {
        double scale;
        Texts labels;
    } cases[] = {
        {ScaleAt(20), {"2.0", "1.8", "1.6", "1.4", "1.2", "1.0", "0.8", "0.6", "0.4", "0.2", "0.0"}},
        {ScaleAt(1), {"0.1", "0.09", "0.08", "0.07", "0.06", "0.05", "0.04", "0.03", "0.02", "0.01", "0.0"}},
        {ScaleAt(200), {"20.0", "18.0", "16.0", "14.0", "12.0", "10.0", "8.0", "6.0", "4.0", "2.0", "0.0"}},
        {ScaleAt(7), {"0.7", "0.63", "0.56", "0.49", "0.42", "0.35", "0.28", "0.21", "0.14", "0.07", "0.0"}},
        {1.0 / 3,
         {"0.3333333333", "0.3", "0.2666666666", "0.2333333333", "0.2", "0.1666666666", "0.1333333333", "0.1",
          "0.0666666666", "0.0333333333", "0.0"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DensityLabelTexts(c.scale), c.labels) << c.scale;
}

TEST(DensityLabels, TheNormalisedModeIgnoresTheScales)
{
    const Texts unit{"1.0", "0.9", "0.8", "0.7", "0.6", "0.5", "0.4", "0.3", "0.2", "0.1", "0.0"};
    EXPECT_EQ(TextsOf(AYTextOut(kPlot, ScaleAt(20), true), 1), unit);
    EXPECT_EQ(TextsOf(BYTextOut(kPlot, ScaleAt(50), true), 1), unit);
    EXPECT_EQ(TextsOf(AYTextOut(kPlot, ScaleAt(20), false), 1), DensityLabelTexts(2.0));
    EXPECT_EQ(TextsOf(BYTextOut(kPlot, ScaleAt(50), false), 1), DensityLabelTexts(5.0));
}

TEST(DensityLabels, LevelAxisPositions)
{
    const AxisTexts x = XTextOut(kPlot);
    EXPECT_EQ(Corners(x.Clear), (Rect{3, 283, 494, 292}));
    ASSERT_EQ(x.Texts.size(), 22u);
    struct Expected {
        std::size_t index;
        const char* text;
        int x;
    } expected[] = {{0, "-1.0", 30}, {1, "-0.9", 51}, {10, "0.0", 243}, {11, "0.1", 264}, {20, "1.0", 453}};
    for (const Expected& e : expected) {
        const PlacedText& t = x.Texts[e.index];
        EXPECT_EQ(t.Text, e.text);
        EXPECT_EQ(t.X, e.x) << e.text;
        EXPECT_EQ(t.Y, 281);
        EXPECT_FALSE(t.Bold);
        EXPECT_EQ(t.Colour, TextColour::Frame);
    }
    const PlacedText& unit = x.Texts.back();
    EXPECT_EQ(unit.Text, "В");
    EXPECT_EQ(unit.X, 472);
    EXPECT_EQ(unit.Y, 281);
    EXPECT_TRUE(unit.Bold);
}

TEST(DensityLabels, ChannelColumnsBesideThePlot)
{
    const AxisTexts a = AYTextOut(kPlot, ScaleAt(200), false);
    EXPECT_EQ(Corners(a.Clear), (Rect{3, 15, 37, 280}));
    ASSERT_EQ(a.Texts.size(), 12u);
    EXPECT_EQ(a.Texts[0].Text, "Канал A");
    EXPECT_EQ(a.Texts[0].X, 8);
    EXPECT_EQ(a.Texts[0].Y, 2);
    // «20.0» at the top, «8.0» in the middle, «0.0» lifted above the bottom edge.
    EXPECT_EQ(a.Texts[1].X, 40 - 28);
    EXPECT_EQ(a.Texts[1].Y, 13);
    EXPECT_EQ(a.Texts[7].X, 40 - 21);
    EXPECT_EQ(a.Texts[7].Y, 20 + 156 - 7);
    EXPECT_EQ(a.Texts[11].Y, 280 - 14);
    for (const PlacedText& t : a.Texts) {
        EXPECT_TRUE(t.Bold);
        EXPECT_EQ(t.Colour, TextColour::ChannelA);
    }

    const AxisTexts b = BYTextOut(kPlot, ScaleAt(200), false);
    EXPECT_EQ(Corners(b.Clear), (Rect{465, 15, 497, 280}));
    ASSERT_EQ(b.Texts.size(), 12u);
    EXPECT_EQ(b.Texts[0].Text, "Канал B");
    EXPECT_EQ(b.Texts[0].X, 442);
    for (std::size_t i = 1; i < b.Texts.size(); ++i) {
        EXPECT_EQ(b.Texts[i].X, 464) << "left-aligned";
        EXPECT_EQ(b.Texts[i].Y, a.Texts[i].Y);
    }
    for (const PlacedText& t : b.Texts)
        EXPECT_EQ(t.Colour, TextColour::ChannelB);
}

}  // namespace
}  // namespace mirel::pv
