#include "density/DensityLabels.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
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

using Point = std::pair<int, int>;

Point Where(const PlacedText& t)
{
    return {t.X, t.Y};
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

TEST(DensityLabels, PositionsAroundThePlot)
{
    const AxisTexts x = XTextOut(kPlot);
    EXPECT_EQ(Corners(x.Clear), (Rect{3, 283, 494, 292}));
    ASSERT_EQ(x.Texts.size(), 22u);
    // Centred under their grid lines at 3 pixels a character: «-1.0», «0.0», «1.0», then the unit.
    EXPECT_EQ(Where(x.Texts[0]), (Point{30, 281}));
    EXPECT_EQ(Where(x.Texts[10]), (Point{243, 281}));
    EXPECT_EQ(Where(x.Texts[20]), (Point{453, 281}));
    EXPECT_EQ(x.Texts[21].Text, "В");
    EXPECT_EQ(Where(x.Texts[21]), (Point{472, 281}));
    EXPECT_TRUE(x.Texts[21].Bold);
    EXPECT_FALSE(x.Texts[20].Bold);

    const AxisTexts a = AYTextOut(kPlot, ScaleAt(200), false);
    EXPECT_EQ(Corners(a.Clear), (Rect{3, 15, 37, 280}));
    ASSERT_EQ(a.Texts.size(), 12u);
    EXPECT_EQ(a.Texts[0].Text, "Канал A");
    EXPECT_EQ(Where(a.Texts[0]), (Point{8, 2}));
    // Right-aligned at 7 pixels a character: «20.0» at the top, «8.0» in the middle, «0.0» lifted
    // above the bottom edge.
    EXPECT_EQ(Where(a.Texts[1]), (Point{12, 13}));
    EXPECT_EQ(Where(a.Texts[7]), (Point{19, 169}));
    EXPECT_EQ(Where(a.Texts[11]), (Point{19, 266}));

    const AxisTexts b = BYTextOut(kPlot, ScaleAt(200), false);
    EXPECT_EQ(Corners(b.Clear), (Rect{465, 15, 497, 280}));
    ASSERT_EQ(b.Texts.size(), 12u);
    EXPECT_EQ(b.Texts[0].Text, "Канал B");
    EXPECT_EQ(Where(b.Texts[0]), (Point{442, 2}));
    for (std::size_t i = 1; i < b.Texts.size(); ++i)
        EXPECT_EQ(Where(b.Texts[i]), (Point{464, a.Texts[i].Y})) << "left-aligned";

    for (std::size_t i = 0; i < a.Texts.size(); ++i) {
        EXPECT_EQ(a.Texts[i].Colour, TextColour::ChannelA);
        EXPECT_EQ(b.Texts[i].Colour, TextColour::ChannelB);
        EXPECT_TRUE(a.Texts[i].Bold && b.Texts[i].Bold);
    }
}

}  // namespace
}  // namespace mirel::pv
