#include "oscilloscope/AxisLabels.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mirel::osc {
namespace {

using Texts = std::vector<std::string>;

// 16 time and 12 volt divisions; plot at 42,22, 416 × 256.
const PlotGeometry kSmall = PlotGeometry::FromSurface(500, 300);
// 32 time and 24 volt divisions.
const PlotGeometry kLarge = PlotGeometry::FromSurface(1280, 800);

TEST(AxisLabels, VoltLabelsTopToBottom)
{
    struct Case {
        double sens;
        int divisions;
        Texts labels;
    } cases[] = {
        {1, 12, {"3.0", "2.5", "2.0", "1.5", "1.0", "0.5", "0.0", "-0.5", "-1.0", "-1.5", "-2.0", "-2.5", "-3.0"}},
        {10, 12, {"300", "250", "200", "150", "100", "50", "0", "-50", "-100", "-150", "-200", "-250", "-300"}},
        {0.5, 12, {"6", "5", "4", "3", "2", "1", "0", "-1", "-2", "-3", "-4", "-5", "-6"}},
        {2.5, 12, {"1.2", "1.0", "0.8", "0.6", "0.4", "0.2", "0.0", "-0.2", "-0.4", "-0.6", "-0.8", "-1.0", "-1.2"}},
        {2500, 12, {"1.2", "1.0", "0.8", "0.6", "0.4", "0.2", "0.0", "-0.2", "-0.4", "-0.6", "-0.8", "-1.0", "-1.2"}},
        {5, 24, {"600", "550",  "500",  "450",  "400",  "350",  "300",  "250",  "200",  "150",  "100",  "50",  "0",
                 "-50", "-100", "-150", "-200", "-250", "-300", "-350", "-400", "-450", "-500", "-550", "-600"}},
        // A quarter volt per division keeps both decimals.
        {1, 24, {"3.0",  "2.75",  "2.5",  "2.25",  "2.0",   "1.75",  "1.5",   "1.25", "1.0",
                 "0.75", "0.5",   "0.25", "0.0",   "-0.25", "-0.5",  "-0.75", "-1.0", "-1.25",
                 "-1.5", "-1.75", "-2.0", "-2.25", "-2.5",  "-2.75", "-3.0"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VoltLabelTexts(c.sens, c.divisions), c.labels) << "sensitivity " << c.sens << ", " << c.divisions;
}

TEST(AxisLabels, TimeLabelsLeftToRightWithTheirUnit)
{
    struct Case {
        double timeBase;
        int divisions;
        Texts labels;
        const char* unit;
    } cases[] = {
        {800,
         16,
         {"-1.6", "-1.4", "-1.2", "-1", "-0.8", "-0.6", "-0.4", "-0.2", "0", "0.2", "0.4", "0.6", "0.8", "1", "1.2",
          "1.4", "1.6"},
         "мс"},
        {4000, 16, {"-8", "-7", "-6", "-5", "-4", "-3", "-2", "-1", "0", "1", "2", "3", "4", "5", "6", "7", "8"}, "мс"},
        // 400 µs: the single-precision time per division lies just below 0.1 ms, so microseconds.
        {400,
         16,
         {"-800", "-700", "-600", "-500", "-400", "-300", "-200", "-100", "0", "100", "200", "300", "400", "500", "600",
          "700", "800"},
         "мкс"},
        {8,
         16,
         {"-16", "-14", "-12", "-10", "-8", "-6", "-4", "-2", "0", "2", "4", "6", "8", "10", "12", "14", "16"},
         "мкс"},
        {80000,
         16,
         {"-160", "-140", "-120", "-100", "-80", "-60", "-40", "-20", "0", "20", "40", "60", "80", "100", "120", "140",
          "160"},
         "мс"},
        {800,
         32,
         {"-1.6", "-1.5", "-1.4", "-1.3", "-1.2", "-1.1", "-1",  "-0.9", "-0.8", "-0.7", "-0.6",
          "-0.5", "-0.4", "-0.3", "-0.2", "-0.1", "0",    "0.1", "0.2",  "0.3",  "0.4",  "0.5",
          "0.6",  "0.7",  "0.8",  "0.9",  "1",    "1.1",  "1.2", "1.3",  "1.4",  "1.5",  "1.6"},
         "мс"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("time base " + std::to_string(c.timeBase) + ", " + std::to_string(c.divisions));
        EXPECT_EQ(TimeLabelTexts(c.timeBase, c.divisions), c.labels);
        EXPECT_EQ(TimeUnitText(c.timeBase, c.divisions), c.unit);
    }
}

TEST(AxisLabels, UnitOfASensitivityCaption)
{
    EXPECT_EQ(UnitOfCaption("1 В/дел"), "В");
    EXPECT_EQ(UnitOfCaption("0.25 мВ/дел"), "мВ");
    EXPECT_EQ(UnitOfCaption("50 мВ/дел"), "мВ");
}

TEST(AxisLabels, TimeAxisPositions)
{
    const auto x = XTextOut(kSmall, 800);
    EXPECT_EQ(x.Clear.Left, 10);
    EXPECT_EQ(x.Clear.Top, 281);
    EXPECT_EQ(x.Clear.Right, 492);
    EXPECT_EQ(x.Clear.Bottom, 290);
    ASSERT_EQ(x.Texts.size(), 18u);  // 17 labels and the unit
    struct Expected {
        size_t index;
        const char* text;
        int x;
    } expected[] = {
        {0, "-1.6", 30},   // 42 - 3 × 4
        {3, "-1", 114},    // 42 + 26 × 3 - 6
        {8, "0", 247},     // 42 + 208 - 3
        {16, "1.6", 449},  // 42 + 416 - 9
    };
    for (const auto& e : expected) {
        const auto& t = x.Texts[e.index];
        EXPECT_EQ(t.Text, e.text);
        EXPECT_EQ(t.X, e.x) << e.text;
        EXPECT_EQ(t.Y, 279);
        EXPECT_FALSE(t.Bold);
        EXPECT_EQ(t.Colour, TextColour::Frame);
    }
    const auto& unit = x.Texts.back();
    EXPECT_EQ(unit.Text, "мс");
    EXPECT_EQ(unit.X, 470);
    EXPECT_EQ(unit.Y, 279);
    EXPECT_TRUE(unit.Bold);

    const auto wide = XTextOut(kLarge, 400);
    ASSERT_EQ(wide.Texts.size(), 34u);  // 33 labels and the unit
    EXPECT_EQ(wide.Texts[0].Text, "-800");
    EXPECT_EQ(wide.Texts[1].Text, "-750");
    EXPECT_EQ(wide.Texts[32].Text, "800");
    EXPECT_EQ(wide.Texts.back().Text, "мкс");
    EXPECT_EQ(wide.Texts[32].X, 42 + 1196 - 9);
}

TEST(AxisLabels, ChannelALabelsRightAlignedLeftOfThePlot)
{
    const auto a = AYTextOut(kSmall, 1, SensitivityCaption(1, 300));
    EXPECT_EQ(a.Clear.Left, 2);
    EXPECT_EQ(a.Clear.Top, 17);
    EXPECT_EQ(a.Clear.Right, 37);
    EXPECT_EQ(a.Clear.Bottom, 278);
    ASSERT_EQ(a.Texts.size(), 13u + 2u);
    struct Expected {
        size_t index;
        const char* text;
        int x, y;
    } expected[] = {
        {0, "3.0", 17, 15},     // width 28, less 2 for the point
        {6, "0.0", 17, 143},    // 22 + 128 - 7
        {7, "-0.5", 15, 164},   // width 35, less 4 for the minus and 2 for the point
        {12, "-3.0", 15, 264},  // the bottom label sits 14 pixels up
    };
    for (const auto& e : expected) {
        const auto& t = a.Texts[e.index];
        EXPECT_EQ(t.Text, e.text);
        EXPECT_EQ(t.X, e.x) << e.text;
        EXPECT_EQ(t.Y, e.y) << e.text;
        EXPECT_TRUE(t.Bold);
        EXPECT_EQ(t.Colour, TextColour::ChannelA);
    }
    const auto& eraser = a.Texts[13];
    EXPECT_EQ(eraser.Text, std::string(33, ' '));
    EXPECT_EQ(eraser.Colour, TextColour::Background);
    EXPECT_EQ(eraser.X, 24);
    EXPECT_EQ(eraser.Y, 4);
    const auto& title = a.Texts[14];
    EXPECT_EQ(title.Text, "Канал A (В)");
    EXPECT_EQ(title.X, 8);
    EXPECT_EQ(title.Y, 2);

    // Without decimals: «300» is 28 wide, «-50» 28 - 4.67, truncated.
    const auto milli = AYTextOut(kSmall, 10, SensitivityCaption(10, 300));
    EXPECT_EQ(milli.Texts[0].Text, "300");
    EXPECT_EQ(milli.Texts[0].X, 14);
    EXPECT_EQ(milli.Texts[7].Text, "-50");
    EXPECT_EQ(milli.Texts[7].X, 19);
    EXPECT_EQ(milli.Texts.back().Text, "Канал A (мВ)");
}

TEST(AxisLabels, ChannelBLabelsLeftAlignedRightOfThePlot)
{
    const auto b = BYTextOut(kSmall, 1, SensitivityCaption(1, 300));
    EXPECT_EQ(b.Clear.Left, 463);
    EXPECT_EQ(b.Clear.Top, 17);
    EXPECT_EQ(b.Clear.Right, 498);
    EXPECT_EQ(b.Clear.Bottom, 278);
    ASSERT_EQ(b.Texts.size(), 15u);
    EXPECT_EQ(b.Texts[0].Text, "3.0");
    EXPECT_EQ(b.Texts[0].X, 463);  // 458 + 7 - 2
    EXPECT_EQ(b.Texts[7].Text, "-0.5");
    EXPECT_EQ(b.Texts[7].X, 459);  // 458 + 7 - 6
    EXPECT_EQ(b.Texts[12].Y, 264);
    EXPECT_EQ(b.Texts[0].Colour, TextColour::ChannelB);
    EXPECT_EQ(b.Texts[13].X, 446);
    EXPECT_EQ(b.Texts[13].Y, 4);
    EXPECT_EQ(b.Texts[14].Text, "Канал B (В)");
    EXPECT_EQ(b.Texts[14].X, 416);
    EXPECT_EQ(b.Texts[14].Y, 2);

    const auto milli = BYTextOut(kSmall, 10, "50 мВ/дел");
    EXPECT_EQ(milli.Texts[6].Text, "0");
    EXPECT_EQ(milli.Texts[6].X, 465);
    EXPECT_EQ(milli.Texts[7].X, 461);
    EXPECT_EQ(milli.Texts.back().Text, "Канал B (мВ)");
}

TEST(AxisLabels, HighSurfaceHas25LabelsPerChannel)
{
    const auto a = AYTextOut(kLarge, 5, SensitivityCaption(5, 800));
    const auto b = BYTextOut(kLarge, 5, SensitivityCaption(5, 800));
    ASSERT_EQ(a.Texts.size(), 27u);
    ASSERT_EQ(b.Texts.size(), 27u);
    for (size_t i = 0; i < 25; ++i) {
        EXPECT_EQ(a.Texts[i].Text, b.Texts[i].Text);
        EXPECT_EQ(a.Texts[i].Y, b.Texts[i].Y);
    }
    EXPECT_EQ(a.Texts[0].Text, "600");
    EXPECT_EQ(a.Texts[24].Text, "-600");
    EXPECT_EQ(a.Texts[12].Y, 22 + 378 - 7);
    EXPECT_EQ(a.Texts[24].Y, 22 + 756 - 14);
    EXPECT_EQ(b.Texts.back().Text, "Канал B (мВ)");
}

}  // namespace
}  // namespace mirel::osc
