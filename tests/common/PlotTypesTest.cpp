// The shared display types: the two curves' point arrays and the small text rules of the scales.
#include "common/PlotText.h"
#include "common/TraceSet.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace mirel
