// The shared display types: the two curves' point arrays, the small text rules of the scales and the
// rule that leaves out labels which would touch.
#include "common/PlotText.h"
#include "common/TraceSet.h"

#include <gtest/gtest.h>
#include <vector>

namespace mirel {
namespace {

TEST(TraceSet, AllocatesFourArraysAndRemembersTheDrawnTraces)
{
    TraceSet t;
    EXPECT_FALSE(t.Exists());
    t.Allocate(153);
    ASSERT_TRUE(t.Exists());
    for (const auto* v : {&t.TraceA, &t.TraceB, &t.PrevTraceA, &t.PrevTraceB})
        EXPECT_EQ(v->size(), 153u);
    t.TraceA[5] = {1, 2};
    t.TraceB[152] = {3, 4};
    const auto* storage = t.PrevTraceA.data();
    t.Remember();
    EXPECT_EQ(t.PrevTraceA[5], (ScreenPoint{1, 2}));
    EXPECT_EQ(t.PrevTraceB[152], (ScreenPoint{3, 4}));
    EXPECT_EQ(t.PrevTraceA.data(), storage) << "remembering must not reallocate per block";
    t.Allocate(2);
    EXPECT_EQ(t.PrevTraceB.size(), 2u);
    EXPECT_EQ(t.PrevTraceB[1], (ScreenPoint{}));
    t.Free();
    EXPECT_FALSE(t.Exists());
}

TEST(PlotText, BlankRulesAndCharacterCount)
{
    EXPECT_EQ(UpToFirstBlank("0.25 м"), "0.25");
    EXPECT_EQ(UpToFirstBlank("12"), "12");
    EXPECT_EQ(AfterFirstBlank("0.25 мВ"), "мВ");
    EXPECT_EQ(AfterFirstBlank("5 "), "");
    EXPECT_EQ(AfterFirstBlank("В"), "В");
    EXPECT_EQ(Utf8Length("Канал A"), 7);
    EXPECT_EQ(Trunc(-2.9), -2);
    EXPECT_EQ(Trunc(2.9), 2);
}

// Labels 0 … Last in a row, `Spacing` apart and `Width` wide, with a title above the row, an
// eraser across it, and perhaps a text of another part shown under one place.
TEST(PlotText, LabelsThatWouldTouchAreLeftOutEvenlyKeepingTheEndsAndTheZero)
{
    struct Case {
        int Last, Origin, Spacing, Width;
        std::vector<TextBox> Shown;
        std::vector<int> Kept;
    } cases[] = {
        {4, 2, 30, 20, {}, {0, 1, 2, 3, 4}},
        {4, 2, 24, 20, {}, {0, 2, 4}},                                  // two labels need more room than a comma leaves
        {20, 10, 21, 20, {}, {0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20}},  // every other
        {20, 10, 12, 20, {}, {0, 5, 10, 15, 20}},                       // every fifth
        {6, 3, 30, 20, {{125, 0, 135, 8}}, {0, 1, 2, 3, 5, 6}},         // one under another text
        {7, 0, 14, 20, {}, {0, 2, 4, 7}},                               // 6 touches the end
        {2, 1, 2, 20, {}, {0}},                                         // the ends first
    };
    for (const Case& c : cases) {
        AxisTexts texts;
        texts.Origin = c.Origin;
        std::vector<TextBox> boxes;
        texts.Texts.push_back({"Канал A", 0, -20});
        boxes.push_back({0, -20, 50, -12});
        texts.Texts.push_back({"   ", 0, 0, false, TextColour::Background});
        boxes.push_back({0, 0, 1000, 8});
        for (int i = 0; i <= c.Last; ++i) {
            texts.Texts.push_back({std::to_string(i), i * c.Spacing, 0, false, TextColour::Frame, i});
            boxes.push_back({i * c.Spacing, 0, i * c.Spacing + c.Width, 8});
        }
        const std::vector<bool> keep = FitTexts(texts, boxes, c.Shown);
        ASSERT_EQ(keep.size(), boxes.size());
        EXPECT_TRUE(keep[0] && keep[1]) << "the title and the eraser";
        std::vector<int> kept;
        for (std::size_t i = 2; i < keep.size(); ++i)
            if (keep[i])
                kept.push_back(texts.Texts[i].Index);
        EXPECT_EQ(kept, c.Kept) << "spacing " << c.Spacing << ", last " << c.Last;
    }
}

}  // namespace
}  // namespace mirel
