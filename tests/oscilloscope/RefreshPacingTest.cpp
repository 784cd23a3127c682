#include "oscilloscope/RefreshPacing.h"

#include <gtest/gtest.h>

#include <string>

namespace mirel::osc {
namespace {

TEST(RefreshPacing, AppliedIntervalPeriodAndEditText)
{
    struct Case {
        const char* typed;
        int interval;
        int period;
        const char* text;
    } cases[] = {
        {"50", 50, 41, "50"},
        {"0050", 50, 41, "50"},  // leading zeros go
        {"", 50, 41, "50"},      // empty: the default
        {"0", 50, 41, "50"},     // zero: the default
        {"abc", 50, 41, "50"},   // pasted letters
        {"12a", 50, 41, "50"},
        {"1.5", 50, 41, "50"},
        {" 12", 50, 41, "50"},
        {"-5", 50, 41, "50"},  // a negative interval means nothing either
        {"100", 100, 83, "100"},
        {"60", 60, 50, "60"},  // 50.00000000000001 ms
        {"6", 6, 5, "6"},
        {"2", 2, 1, "2"},
        {"1", 1, 1, "1"},  // 0.83 ms would stop the requests: at least 1 ms
        {"+7", 7, 5, "7"},
        {"2000", 2000, 1666, "2000"},
        {"9999", 9999, 8332, "9999"},
        {"09999", 9999, 8332, "9999"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("typed '") + c.typed + "'");
        const auto applied = ApplyRefreshInterval(c.typed);
        EXPECT_EQ(applied.RefreshInterval, c.interval);
        EXPECT_EQ(applied.DataRequestPeriod, c.period);
        EXPECT_EQ(applied.Text, c.text);
    }
    EXPECT_EQ(InitialDataRequestPeriod, 50);
}

TEST(RefreshPacing, DataRequestPeriodIsNeverZero)
{
    for (int interval : {-100, -1, 0, 1})
        EXPECT_EQ(DataRequestPeriod(interval), 1) << interval;
    EXPECT_EQ(DataRequestPeriod(3), 2);
    EXPECT_EQ(DataRequestPeriod(1000), 833);
}

TEST(RefreshPacing, OnlyDigitsAndEditingKeysPass)
{
    for (char32_t key : {U'0', U'5', U'9', char32_t{8}, char32_t{12}, char32_t{13}})
        EXPECT_TRUE(RefreshKeyAllowed(key)) << static_cast<int>(key);
    for (char32_t key : {U'a', U'Z', U'-', U'+', U' ', U'.', U',', U'/', U':', U'ф', U'٣', char32_t{0}, char32_t{9},
                         char32_t{10}, char32_t{27}, char32_t{127}})
        EXPECT_FALSE(RefreshKeyAllowed(key)) << static_cast<int>(key);
}

TEST(RefreshPacing, MeasuredPeriodIsCutAtItsComma)
{
    struct Case {
        int count;
        const char* text;
    } cases[] = {
        {24, "41,6"},               // 41,666…: comma third, four characters kept
        {120, "8,3"},               // 8,333…: comma second, three kept
        {7, "142"},                 // 142,857…: comma fourth, three kept
        {3, "333"},   {1, "1000"},  // no comma
        {2, "500"},   {16, "62,5"},  {30, "33,3"},
        {400, "2,5"}, {3000, "0,3"}, {10000000, "0,0"},  // the mark left by a pause
        {1000, "1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RefreshPeriodText(c.count), c.text) << c.count << " blocks";
}

TEST(RefreshPacing, ReadoutCaption)
{
    struct Case {
        const char* what;
        int count;
        bool maxRefresh;
        const char* edit;
        const char* caption;  // nullptr: the caption keeps its text
    } cases[] = {
        {"measured", 24, false, "50", "Обновление (41,6мс)"},
        {"one frozen sweep", 1, false, "50", "Обновление (1000мс)"},
        {"first readout after a pause", 10000000, false, "50", "Обновление (0,0мс)"},
        {"long interval shows the typed one", 1, false, "2000", "Обновление (2000мс)"},
        {"typed text as it stands", 1, false, "02000", "Обновление (02000мс)"},
        {"1000 is not long", 3, false, "1000", "Обновление (333мс)"},
        {"1001 is long", 3, false, "1001", "Обновление (1001мс)"},
        {"with Max the measurement counts", 120, true, "2000", "Обновление (8,3мс)"},
        {"unreadable edit text", 7, false, "abcd", "Обновление (142мс)"},
        {"nothing taken", 0, false, "50", nullptr},
        {"nothing taken, long interval", 0, false, "2000", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto caption = RefreshReadoutCaption(c.count, c.maxRefresh, c.edit);
        if (c.caption == nullptr)
            EXPECT_FALSE(caption.has_value());
        else
            EXPECT_EQ(caption.value_or("<none>"), c.caption);
    }
}

}  // namespace
}  // namespace mirel::osc
