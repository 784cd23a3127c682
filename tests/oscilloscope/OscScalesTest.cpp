#include "oscilloscope/OscScales.h"

#include <gtest/gtest.h>

#include <string>

namespace mirel::osc {
namespace {

struct SensRow {
    int position;
    double sens;
    const char* low;   // 12 volt divisions
    const char* high;  // 24 volt divisions
};

const SensRow kSensRows[] = {
    {11, 0.5, "1 В/дел", "0.5 В/дел"},  {10, 1, "0.5 В/дел", "0.25 В/дел"},     {9, 2.5, "0.2 В/дел", "0.1 В/дел"},
    {8, 5, "0.1 В/дел", "50 мВ/дел"},   {7, 10, "50 мВ/дел", "25 мВ/дел"},      {6, 25, "20 мВ/дел", "10 мВ/дел"},
    {5, 50, "10 мВ/дел", "5 мВ/дел"},   {4, 100, "5 мВ/дел", "2.5 мВ/дел"},     {3, 250, "2 мВ/дел", "1 мВ/дел"},
    {2, 500, "1 мВ/дел", "0.5 мВ/дел"}, {1, 1000, "0.5 мВ/дел", "0.25 мВ/дел"}, {0, 2500, "0.2 мВ/дел", "0.1 мВ/дел"},
};

TEST(OscScales, SensitivityOfEveryPositionAndItsCaptionOnLowAndHighSurfaces)
{
    for (const auto& row : kSensRows) {
        SCOPED_TRACE("position " + std::to_string(row.position));
        EXPECT_DOUBLE_EQ(SensitivityAt(row.position), row.sens);
        // The volt divisions double from 325 pixels on.
        EXPECT_EQ(SensitivityCaption(row.sens, 324), row.low);
        EXPECT_EQ(SensitivityCaption(row.sens, 325), row.high);
    }
}

struct TimeRow {
    int position;
    int timeBase;
    const char* narrow;  // 16 time divisions
    const char* wide;    // 32 time divisions
};

const TimeRow kTimeRows[] = {
    {0, 8, "2 мкс/дел", "1 мкс/дел"},      {1, 16, "4 мкс/дел", "2 мкс/дел"},     {2, 40, "10 мкс/дел", "5 мкс/дел"},
    {3, 80, "20 мкс/дел", "10 мкс/дел"},   {4, 160, "40 мкс/дел", "20 мкс/дел"},  {5, 400, "0.1 мс/дел", "50 мкс/дел"},
    {6, 800, "0.2 мс/дел", "0.1 мс/дел"},  {7, 1600, "0.4 мс/дел", "0.2 мс/дел"}, {8, 4000, "1 мс/дел", "0.5 мс/дел"},
    {9, 8000, "2 мс/дел", "1 мс/дел"},     {10, 16000, "4 мс/дел", "2 мс/дел"},   {11, 40000, "10 мс/дел", "5 мс/дел"},
    {12, 80000, "20 мс/дел", "10 мс/дел"},
};

TEST(OscScales, TimeBaseOfEveryPositionAndItsCaptionOnNarrowAndWideSurfaces)
{
    for (const auto& row : kTimeRows) {
        SCOPED_TRACE("position " + std::to_string(row.position));
        EXPECT_EQ(TimeBaseAt(row.position), row.timeBase);
        // The time divisions double from 750 pixels on.
        EXPECT_EQ(TimeBaseCaption(row.timeBase, 749), row.narrow);
        EXPECT_EQ(TimeBaseCaption(row.timeBase, 750), row.wide);
    }
}

TEST(OscScales, SpinnerPositionsWrapAroundBothEnds)
{
    struct Case {
        int position, max, expected;
    } cases[] = {
        {11, 11, 11}, {12, 11, 0}, {-1, 11, 11}, {-13, 11, 11}, {24, 11, 0},  // sensitivity spinner 0..11
        {12, 12, 12}, {13, 12, 0}, {-1, 12, 12}, {26, 12, 0},                 // time-base spinner 0..12
    };
    for (const auto& c : cases)
        EXPECT_EQ(WrapPosition(c.position, c.max), c.expected) << c.position << " in 0.." << c.max;

    // Stepping up from the coarsest sensitivity lands on the finest one, and back.
    EXPECT_EQ(SensitivityCaption(SensitivityAt(SensitivityPositionMax + 1), 300), "0.2 мВ/дел");
    EXPECT_EQ(SensitivityCaption(SensitivityAt(-1), 300), "1 В/дел");
    // The time base has an entry for every position the spinner can reach.
    EXPECT_EQ(TimeBaseAt(TimeBasePositionMax + 1), 8);
    EXPECT_EQ(TimeBaseAt(-1), 80000);
    EXPECT_EQ(TimeBaseAt(TimeBasePositionAtStart), 800);
    EXPECT_DOUBLE_EQ(SensitivityAt(SensitivityPositionAtStart), 1.0);
}

TEST(OscScales, ScreenPointsAndBlockFramesFollowRateAndTimeBase)
{
    struct Case {
        int sampleRate;
        double timeBase;
        int points;
    } cases[] = {
        {48000, 8, 2},                             // 1.536 samples: raised to the minimum of 2
        {48000, 800, 153},                         // 153.6 truncated
        {48000, 80000, 15360},                     // exactly 15360, must not fall to 15359
        {48000, 4000, 768},    {44100, 800, 141},  // 141.12
        {11025, 16, 2},        {0, 800, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.sampleRate) + " Hz, " + std::to_string(c.timeBase) + " us");
        EXPECT_EQ(ScreenPointsFor(c.sampleRate, c.timeBase), c.points);
        const auto sizes = SetNewBufSize(c.sampleRate, c.timeBase);
        EXPECT_EQ(sizes.ScreenPoints, c.points);
        EXPECT_EQ(sizes.BlockFrames, c.points + 300);  // 200 lead-in + 100 trigger window
    }
    EXPECT_EQ(SetNewBufSize(48000, 800).BlockFrames, 453);
}

TEST(OscScales, DivisionCountsSwitchAtTheirThresholds)
{
    EXPECT_EQ(VoltDivisions(0), 12);
    EXPECT_EQ(VoltDivisions(324), 12);
    EXPECT_EQ(VoltDivisions(325), 24);
    EXPECT_EQ(TimeDivisions(749), 16);
    EXPECT_EQ(TimeDivisions(750), 32);
    EXPECT_EQ(TimeDivisions(1280), 32);
}

TEST(OscScales, PlotAreaLiesInsideTheMargins)
{
    const auto g = PlotGeometry::FromSurface(500, 300);
    EXPECT_EQ(g.PlotLeft, 42);
    EXPECT_EQ(g.PlotTop, 22);
    EXPECT_EQ(g.PlotWidth, 416);
    EXPECT_EQ(g.PlotHeight, 256);
    EXPECT_EQ(g.PlotHalfWidth, 208);
    EXPECT_EQ(g.PlotHalfHeight, 128);
    EXPECT_EQ(g.TimeDivisions(), 16);
    EXPECT_EQ(g.VoltDivisions(), 12);

    const auto odd = PlotGeometry::FromSurface(1281, 801);
    EXPECT_EQ(odd.PlotWidth, 1197);
    EXPECT_EQ(odd.PlotHalfWidth, 598.5);
    EXPECT_EQ(odd.PlotHalfHeight, 378.5);
    EXPECT_EQ(odd.TimeDivisions(), 32);
    EXPECT_EQ(odd.VoltDivisions(), 24);
}

TEST(OscScales, ShiftBarsFollowAResize)
{
    struct Case {
        const char* what;
        ShiftBarLayout got;
        ShiftBarLayout expected;
    } cases[] = {
        // Growing the plot from 400 to 600 pixels with the horizontal shift at 100.
        {"x grow", XShiftBarLayout(600, 400, 100), {-300, 300, 60, 150}},
        {"x shrink, negative shift", XShiftBarLayout(416, 1196, -300), {-208, 208, 41, -104}},
        {"x odd width", XShiftBarLayout(417, 417, 0), {-208, 208, 41, 0}},
        {"y grow", YShiftBarLayout(256, 128, 30), {-85, 85, 17, 60}},
        {"y shrink", YShiftBarLayout(120, 256, -85), {-40, 40, 8, -39}},
        // No previous size yet: the shift stays as it is.
        {"x first", XShiftBarLayout(416, 0, 25), {-208, 208, 41, 25}},
        {"y first", YShiftBarLayout(256, 0, -7), {-85, 85, 17, -7}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.got.Minimum, c.expected.Minimum);
        EXPECT_EQ(c.got.Maximum, c.expected.Maximum);
        EXPECT_EQ(c.got.TickSpacing, c.expected.TickSpacing);
        EXPECT_EQ(c.got.Position, c.expected.Position);
    }
}

}  // namespace
}  // namespace mirel::osc
