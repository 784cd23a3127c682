// The plot-screen functions on a picture: the frame and plot outline, the phase of the dotted grid
// with its solid centre lines, curves erased without a trace, and labels that leave no remnant
// when rewritten shorter.

#include "display/PlotScreen.h"
#include "display/Canvas.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace mirel;

namespace {

constexpr DisplayPalette Colours{0xFFFFFF, 0x008000, 0xFF0000, 0x808080, 0x000000};

struct PlotScreenTest : ::testing::Test {
    QImage image{200, 120, QImage::Format_RGB32};
    Canvas canvas{image};
    const PlotRect plot{42, 22, 116, 76};  // 40 / 20 margins and the 2-pixel frame

    void SetUp() override { image.fill(0x123456); }
    Rgb at(int x, int y) const { return image.pixel(x, y) & 0xFFFFFF; }
};

TEST_F(PlotScreenTest, FrameRingAndPlotOutline)
{
    plot::PaintBorders(canvas, Colours, image.width(), image.height(), plot);
    for (int x : {0, 1, 100, 199 - 1, 199}) {
        EXPECT_EQ(at(x, 0), Colours.Frame) << x;
        EXPECT_EQ(at(x, 1), Colours.Frame) << x;
        EXPECT_EQ(at(x, 119), Colours.Frame) << x;
    }
    EXPECT_EQ(at(2, 50), Colours.Background);
    EXPECT_EQ(at(197, 50), Colours.Background);
    EXPECT_EQ(at(3, 50), 0x123456u) << "nothing inside the ring is touched";
    // The plot outline lies one pixel outside the plot area, right and bottom on its far edges.
    EXPECT_EQ(at(41, 21), Colours.Frame);
    EXPECT_EQ(at(158, 21), Colours.Frame);
    EXPECT_EQ(at(158, 98), Colours.Frame);
    EXPECT_EQ(at(41, 98), Colours.Frame);
    EXPECT_EQ(at(42, 22), 0x123456u);
}

TEST_F(PlotScreenTest, DottedDivisionsWithSolidCentreLines)
{
    plot::VerticalDivisions(canvas, Colours, plot, 4, true);
    plot::HorizontalDivisions(canvas, Colours, plot, 4, true);
    // Vertical lines at trunc(42 + 116 / 4 × i) = 71, 100 (the centre, solid), 129.
    for (int y = 22; y < 22 + 6; ++y)
        EXPECT_EQ(at(71, y), y - 22 < 3 ? Colours.Grid : Colours.Background) << y;
    EXPECT_EQ(at(71, 22 + 6), Colours.Grid) << "3 on, 3 off, from the line's start";
    EXPECT_EQ(at(129, 40), at(71, 40));
    // Horizontal lines at 41, 60 (centre, solid), 79, drawn over the vertical ones.
    for (int x = 42; x < 158; ++x) {
        EXPECT_EQ(at(x, 60), Colours.Frame) << x;
        EXPECT_EQ(at(x, 41), (x - 42) % 6 < 3 ? Colours.Grid : Colours.Background) << x;
    }
    for (int y = 22; y < 98; ++y) {
        if (y != 41 && y != 79) {
            EXPECT_EQ(at(100, y), Colours.Frame) << y;
        }
    }
    EXPECT_EQ(at(100, 98), 0x123456u) << "the end pixel stays out";
    EXPECT_EQ(at(158, 60), 0x123456u);
}

TEST_F(PlotScreenTest, CurvesAreErasedByDrawingThemInTheBackground)
{
    image.fill(Colours.Background);
    const QImage before = image.copy();
    const std::vector<ScreenPoint> a{{42, 30}, {80, 90}, {120, 25}, {157, 97}};
    const std::vector<ScreenPoint> b{{42, 97}, {157, 22}};
    for (int width : {1, 3}) {
        plot::DrawCurve(canvas, Colours.ChannelA, width, a);
        plot::DrawCurve(canvas, Colours.ChannelB, width, b);
        EXPECT_NE(image, before);
        plot::EraseCurves(canvas, Colours, width, a, b);
        EXPECT_EQ(image, before) << "width " << width;
    }
}

TEST_F(PlotScreenTest, ShorterLabelsAndErasedCaptionsLeaveNoRemnant)
{
    image.fill(Colours.Background);
    AxisTexts longer;
    longer.Clear = {2, 2, 60, 16};
    longer.Texts = {{"0.125", 4, 3, true, TextColour::ChannelA}, {"Канал A (мВ)", 70, 3, true, TextColour::ChannelB}};
    plot::ShownTexts shown;
    plot::DrawTexts(canvas, Colours, longer, shown, plot::ShownTexts::Part::Left);
    EXPECT_NE(image.copy(2, 2, 58, 14), QImage(58, 14, QImage::Format_RGB32)) << "a label was drawn";

    AxisTexts shorter;
    shorter.Clear = longer.Clear;
    shorter.Texts = {{"1", 4, 3, true, TextColour::ChannelA},
                     {std::string(30, ' '), 70, 3, true, TextColour::Background},
                     {"В", 70, 3, true, TextColour::ChannelB}};
    plot::DrawTexts(canvas, Colours, shorter, shown, plot::ShownTexts::Part::Left);

    QImage expected(image.size(), QImage::Format_RGB32);
    expected.fill(Colours.Background);
    Canvas fresh(expected);
    plot::ShownTexts none;
    plot::DrawTexts(fresh, Colours, shorter, none, plot::ShownTexts::Part::Left);
    EXPECT_EQ(image, expected);
    EXPECT_FALSE(canvas.bold()) << "the normal weight is left";
}

}  // namespace
