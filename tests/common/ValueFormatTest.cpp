// Texts of scales and readouts, checked on worked examples.
#include "common/ValueFormat.h"

#include <gtest/gtest.h>
#include <limits>

using namespace mirel;

namespace {

struct ValueCase {
    int exponent;
    double x;
    const char* text;
};

TEST(ValueToStr, WorkedExamples)
{
    const ValueCase cases[] = {
        {-3, 0.05, "50 м"},  // the caller appends "В/дел": «50 мВ/дел»
        {0, 0.5, "0.5 "},     {-3, 0.0125, "12.5 м"},
        {0, 250, "250 "},     {0, 123.4, "123 "},         // «123,» loses its dangling separator
        {-3, -0.002, "-2 м"}, {-3, 0.0000004, "0.0  м"},  // below a thousandth of the unit
        {0, 0, "0.0  "},      {0, 4.2949673, "4.29 "},    // larger than 32 bits at nano resolution
        {0, 1.999, "1.99 "},                              // cut, not rounded
        {0, 12345, "1234 "},  {1, 5, "0.5"},              // an exponent outside the table has no suffix
        {1, 10, "1"},         {1, -3, "-0.3"},
        {1, 0, "0.0 "},       {-6, 0.00002, "20 мк"},
        {-9, 5e-9, "5 н"},    {-12, 3e-12, "3 п"},
        {3, 2500, "2.5 к"},   {6, 1e6, "1 М"},
        {9, 3e9, "3 Г"},      {0, 1, "1 "},
        {0, 0.1, "0.1 "},     {-3, 0.0001, "0.1 м"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ValueToStr(c.exponent, c.x), c.text) << "exponent " << c.exponent << ", x " << c.x;
}

TEST(ValueToStr, NonFiniteValuesDoNotBreakTheText)
{
    EXPECT_EQ(ValueToStr(0, std::numeric_limits<double>::quiet_NaN()), "NAN ");
    EXPECT_EQ(ValueToStr(0, std::numeric_limits<double>::infinity()), "INF ");
}

TEST(ReadingToStr, OneBlankBeforeTheUnitWhateverTheValue)
{
    EXPECT_EQ(ReadingToStr(0, "В"), "0.0 В");
    EXPECT_EQ(ReadingToStr(0.00001, "%", false), "0.0 %");
    EXPECT_EQ(ReadingToStr(-0.0000125, "В"), "-12.5 мкВ");
    EXPECT_EQ(ReadingToStr(999.7, "Гц"), "1 кГц");
}

TEST(ReadingToStr, MoreDigitsKeepTheirZerosAndCarryIntoThePrefix)
{
    EXPECT_EQ(ReadingToStr(1000, "Гц", true, 4), "1.000 кГц");
    EXPECT_EQ(ReadingToStr(999.96, "Гц", true, 4), "1.000 кГц");
    EXPECT_EQ(ReadingToStr(-0.0012345, "с", true, 4), "-1.235 мс");
    EXPECT_EQ(ReadingToStr(50.004, "Гц", true, DigitsFor(50.004, 0.01)), "50.00 Гц");
    EXPECT_EQ(ReadingToStr(19999.376, "Гц", true, DigitsFor(19999.376, 0.01)), "19.99938 кГц");
    EXPECT_EQ(ReadingToStr(999.999999, "Гц", true, DigitsFor(999.999999, 0.01)), "1.00000 кГц");
    EXPECT_EQ(DigitsFor(0.5, 0.01), 3);
}

TEST(GeneralFloatText, ShortestDecimalWithComma)
{
    EXPECT_EQ(GeneralFloatText(24), "24");
    EXPECT_EQ(GeneralFloatText(22.5), "22,5");
    EXPECT_EQ(GeneralFloatText(0.0125 / 0.001), "12,5");  // 15 digits hide the binary residue
    EXPECT_EQ(GeneralFloatText(-0.25), "-0,25");
    EXPECT_EQ(GeneralFloatText(0.00002), "0,00002");
    EXPECT_EQ(GeneralFloatText(1.0 / 3), "0,333333333333333");
    EXPECT_EQ(GeneralFloatText(3270), "3270");
    EXPECT_EQ(GeneralFloatText(0), "0");
}

struct StepCase {
    int fLow, fHigh, width, step;
};

TEST(GetFreqStep, WorkedExamples)
{
    const StepCase cases[] = {
        {0, 24000, 400, 2000},     {0, 24000, 1000, 1000},
        {0, 24000, 300, 3000},     {20000, 22000, 400, 400},  // its own start index for a narrow band at 20 kHz
        {0, 48000, 200, 4000},     {0, 3000, 400, 200},
        {18000, 20000, 2000, 100},  // a narrow band at 18 kHz starts from 100 Hz
        {30000, 33000, 4000, 500},  // a narrow band between 25 and 35 kHz starts from 500 Hz
        {40000, 41000, 4000, 500},  // from 40 kHz the start is 500 Hz whatever the width
        {0, 48000, 1, 25000},       // nothing fits
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetFreqStep(c.fLow, c.fHigh, c.width), c.step)
            << c.fLow << ".." << c.fHigh << " over " << c.width << " px";
}

TEST(GetFreqStep, TheBandChoosesTheSmallestStepOnAWidePlot)
{
    // 5000 pixels fit every step: what is left is the start that the band's width and place give.
    const StepCase cases[] = {
        {6000, 8000, 5000, 100},  // up to 4 kHz wide
        {0, 4000, 5000, 200},     // from 4 kHz
        {2000, 8000, 5000, 300},  // from 6 kHz
        {0, 8000, 5000, 500},     // from 8 kHz
        {0, 24000, 5000, 500},
        {0, 35000, 5000, 2000},     // from 35 kHz
        {18000, 22000, 5000, 100},  // 4 kHz at 18 kHz would start from 200 elsewhere
        {20000, 24000, 5000, 400},
        {30000, 35000, 5000, 500},
        {44000, 48000, 5000, 500},
        // Exactly as wide as the labels need, and one pixel less.
        {0, 24000, 1296, 500},
        {0, 24000, 1295, 1000},
        {0, 24000, 648, 1000},
        {0, 24000, 647, 2000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetFreqStep(c.fLow, c.fHigh, c.width), c.step)
            << c.fLow << ".." << c.fHigh << " over " << c.width << " px";
}

}  // namespace
