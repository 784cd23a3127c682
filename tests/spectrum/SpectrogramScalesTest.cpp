// The spectrogram's layout: stripes, titles, time scale, colour bar and labels, the line under the cursor.
#include "spectrum/SpectrogramScales.h"
#include "spectrum/LevelAxis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

namespace mirel::spectrum {
namespace {

const auto Inside = [](int row, const PlotGeometry& p) { return row >= p.PlotTop && row < p.PlotBottom(); };
const auto LabelRow = [](const PlacedText& t) { return t.Y + 7; };
const PlotGeometry kSmallest = PlotGeometry::FromSurface(500, 262);

class Layout : public testing::TestWithParam<std::tuple<int, bool, bool>> {};

TEST_P(Layout, StripesTextsAndBarFitTheDisplay)
{
    const auto [size, showA, showB] = GetParam();
    const PlotGeometry g = size == 500 ? kSmallest : PlotGeometry::FromSurface(1600, 1100);
    const SpectrogramLayout l = LayOutSpectrogram(g, showA, showB);
    const auto& s = l.Stripes;
    ASSERT_EQ(s.size(), std::size_t(showA + showB));
    // A above B in the plot's columns, filling it but a caption line between them, of equal height ±1;
    // the cursor over a stripe's rows reads its lines aged 0 … n − 1, nothing just outside them.
    int top = g.PlotTop;  // of the next stripe
    for (std::size_t i = 0; i < s.size(); ++i) {
        const PlotGeometry& p = s[i].Plot;
        EXPECT_EQ(std::tuple(s[i].Channel, p.PlotLeft, p.PlotWidth, p.PlotTop,
                             std::abs(p.PlotHeight - s[0].Plot.PlotHeight) < 2),
                  std::tuple(int(i) + !showA, g.PlotLeft, g.PlotWidth, top, true));
        EXPECT_EQ(CellAt(l, p.PlotLeft, p.PlotTop), (SpectrogramCell{s[i].Channel, 0}));
        EXPECT_EQ(CellAt(l, p.PlotRight() - 1, p.PlotBottom() - 1), (SpectrogramCell{s[i].Channel, p.PlotHeight - 1}));
        EXPECT_FALSE(CellAt(l, p.PlotLeft, p.PlotTop - 1) || CellAt(l, p.PlotLeft, p.PlotBottom()) ||
                     CellAt(l, p.PlotRight(), p.PlotTop));
        top = p.PlotBottom() + StripeGap;
    }
    EXPECT_EQ(top, s.empty() ? g.PlotTop : g.PlotBottom() + StripeGap);
    // Each title in its colour between the frame above its stripe and the stripe above; labels inside.
    std::size_t titles = 0;
    for (const PlacedText& t : SpectrogramTimeLabels(l, 50).Texts) {
        if (t.Index >= 0) {
            EXPECT_TRUE(Inside(LabelRow(t), s[0].Plot) || Inside(LabelRow(t), s.back().Plot)) << t.Text;
            continue;
        }
        const SpectrogramStripe& st = s.at(titles++);
        EXPECT_TRUE(t.Colour == (st.Channel == 0 ? TextColour::ChannelA : TextColour::ChannelB) &&
                    t.Y + DbLabelLine < st.Plot.PlotTop && t.Y > (titles == 1 ? 0 : s[0].Plot.PlotBottom()));
    }
    EXPECT_EQ(titles, s.size());
    // The bar over the plot's height right of its frame; its labels inside the frame and clear of «кГц» below.
    EXPECT_EQ(std::tuple(l.BarLeft > g.PlotRight() + 1, l.BarTop, l.BarHeight),
              std::tuple(true, g.PlotTop, g.PlotHeight));
    const AxisTexts bar = ColourBarLabels(l, ViewSettings{true, 0, 120}, false);
    for (const PlacedText& t : bar.Texts)
        EXPECT_TRUE(t.Index < 0 || (t.X >= l.BarLeft + l.BarWidth && t.X + 24 <= g.SurfaceWidth - 3 &&
                                    Inside(LabelRow(t), g) && t.Y + DbLabelLine <= g.PlotBottom() + 4));
    EXPECT_LE(bar.Texts.back().X + 32, g.SurfaceWidth - 2) << bar.Texts.back().Text;  // «дБВт»
}

INSTANTIATE_TEST_SUITE_P(Sizes, Layout, testing::Combine(testing::Values(500, 1600), testing::Bool(), testing::Bool()));

// Lines a second, seconds between grid lines, labels of stripe A of the smallest display (rows 20 … 120).
using TimeCase = std::tuple<int, double, std::vector<std::string>>;
class TimeScale : public testing::TestWithParam<TimeCase> {};

TEST_P(TimeScale, StepsRowsAndLabels)
{
    const auto& [lines, step, labels] = GetParam();
    const SpectrogramLayout l = LayOutSpectrogram(kSmallest, true, true);
    EXPECT_EQ(StripeSecondsStep(lines), step);
    std::vector<std::string> texts;
    std::vector<int> grid;  // at each label's row but the top one, where the frame is
    for (const PlacedText& t : SpectrogramTimeLabels(l, lines).Texts) {
        if (t.Index < 0 || t.Colour != TextColour::ChannelA)
            continue;
        EXPECT_EQ(LabelRow(t) - l.Stripes[0].Plot.PlotTop, std::lround(texts.size() * step * lines)) << t.Text;
        if (!texts.empty())
            grid.push_back(LabelRow(t));
        texts.push_back(t.Text);
    }
    EXPECT_EQ(texts, labels);
    EXPECT_EQ(TimeGridRows(l.Stripes[0].Plot, lines), grid);
}

INSTANTIATE_TEST_SUITE_P(Rates, TimeScale,
                         testing::Values(TimeCase{10, 5, {"0", "5", "10"}}, TimeCase{25, 1, {"0", "1", "2", "3", "4"}},
                                         TimeCase{50, 0.5, {"0", "0,5", "1", "1,5", "2"}},
                                         TimeCase{1, 30, {"0", "30", "60", "90"}},
                                         TimeCase{120, 0.2, {"0", "0,2", "0,4", "0,6", "0,8"}}));

// The bar from the range's top colour to its bottom one, each label by its colour, both ends labelled.
class Bar : public testing::TestWithParam<ViewSettings> {};

TEST_P(Bar, RowsAndLabelsAgree)
{
    const ViewSettings& v = GetParam();
    const SpectrogramLayout l = LayOutSpectrogram(kSmallest, true, false);
    std::vector<std::uint32_t> rows(static_cast<std::size_t>(l.BarHeight));
    ColourBarRows(ColourMap::Grey, v, l.BarHeight, rows);
    const auto index = [&](int y) { return static_cast<int>(rows.at(static_cast<std::size_t>(y - l.BarTop)) & 0xff); };
    EXPECT_EQ(std::pair(index(l.BarTop), index(l.BarTop + l.BarHeight - 1)), std::pair(255, 0));
    std::vector<std::string> texts;  // bottom first
    for (const PlacedText& t : ColourBarLabels(l, v, true).Texts) {
        if (t.Index < 0)
            continue;
        EXPECT_NEAR(index(LabelRow(t)), ColourIndex(std::stoi(t.Text), v.TopDb, v.SpanDb), 1) << t.Text;
        texts.push_back(t.Text);
    }
    EXPECT_EQ(texts.front() + ' ' + texts.back(), DbLabelText(v.TopDb - v.SpanDb) + ' ' + DbLabelText(v.TopDb));
}

INSTANTIATE_TEST_SUITE_P(Ranges, Bar, testing::Values(ViewSettings{true, 0, 100}, ViewSettings{true, 20, 120}));

}  // namespace
}  // namespace mirel::spectrum
