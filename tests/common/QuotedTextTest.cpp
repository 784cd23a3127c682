// Quoting what the user typed in messages: whole when short, cut by characters when long.
#include "common/QuotedText.h"

#include <gtest/gtest.h>

using namespace mirel;

TEST(QuotedText, ShortTextsAreQuotedWholeLongOnesByTheirFirstHundredCharacters)
{
    EXPECT_EQ(Quoted(""), "\"\"");
    EXPECT_EQ(Quoted(std::string(100, 'a')), "\"" + std::string(100, 'a') + "\"");
    EXPECT_EQ(Quoted(std::string(120000, 'a')), "\"" + std::string(100, 'a') + "\"... (120000 characters)");

    // Cyrillic letters take two bytes each; none is cut in half.
    std::string cyrillic;
    for (int i = 0; i < 150; ++i)
        cyrillic += "ж";
    std::string kept;
    for (int i = 0; i < 100; ++i)
        kept += "ж";
    EXPECT_EQ(Quoted(cyrillic), "\"" + kept + "\"... (150 characters)");
}
