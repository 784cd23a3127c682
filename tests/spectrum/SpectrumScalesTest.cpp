// The spectrum analyser's tables: transform length per accuracy position, level scales with their
// captions and the band table.
#include "spectrum/SpectrumScales.h"

#include <gtest/gtest.h>

namespace mirel::spectrum {
namespace {

TEST(SpectrumScales, AccuracyPositionsDoubleTheTransform)
{
    const int lengths[] = {2048, 4096, 8192, 16384, 32768};
    for (int position = 0; position <= AccuracyPositionMax; ++position) {
        const TransformSize size = TransformSizeAt(position);
        EXPECT_EQ(size.AccuracyFactor, 1 << position);
        EXPECT_EQ(size.FftLength, lengths[position]);
        EXPECT_EQ(size.HalfLength, lengths[position] / 2);
        EXPECT_EQ(size.Norm, lengths[position] / 2 * 32768);
    }
    EXPECT_EQ(TransformSizeAt(9).FftLength, 32768);
    EXPECT_EQ(TransformSizeAt(-1).FftLength, 2048);
}

TEST(SpectrumScales, FullScaleTablesAndTheirCaptions)
{
    EXPECT_EQ(FullScaleAt(true, 0), 1e-7);
    EXPECT_EQ(FullScaleAt(true, 3), 1e-6);  // exact, so that the prefix changes right here
    EXPECT_EQ(FullScaleAt(true, 21), 1.0);
    EXPECT_EQ(FullScaleAt(true, 26), 40.0);
    EXPECT_EQ(FullScaleAt(true, 44), 40.0) << "a power position beyond the amplitude table";
    EXPECT_EQ(FullScaleAt(false, 0), 1e-12);
    EXPECT_EQ(FullScaleAt(false, 36), 1.0);
    EXPECT_EQ(FullScaleAt(false, 44), 400.0);

    struct Case {
        bool amplitude;
        int position;
        const char* caption;
    } cases[] = {
        {true, 21, "0.05 В/дел"},   {true, 15, "0.5 мВ/дел"},
        {true, 22, "0.1 В/дел"},    {true, 3, "0.05 мкВ/дел"},  // 1e-6 takes the micro prefix, 4e-7 the nano one
        {true, 2, "20 нВ/дел"},     {false, 36, "0.05 Вт/дел"},
        {false, 0, "0.05 пВт/дел"}, {false, 44, "20 Вт/дел"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DivisionCaption(FullScaleAt(c.amplitude, c.position), c.amplitude), c.caption) << c.position;
}

TEST(SpectrumScales, BandPositionsUpToHalfTheRate)
{
    EXPECT_EQ(BandPositionCount(48000), 12);
    EXPECT_EQ(BandPositionCount(44100), 11);
    EXPECT_EQ(BandPositionCount(8000), 3);
    EXPECT_EQ(BandPositionCount(96000), 17);
    EXPECT_EQ(BandPositionCount(1000), 2) << "the upper edge needs a place above the lower one";
    EXPECT_EQ(BandFrequencyAt(1), 0);
    EXPECT_EQ(BandFrequencyAt(6), 11000);
    EXPECT_EQ(BandFrequencyAt(12), 24000);
    EXPECT_EQ(BandFrequencyAt(17), 48000);
    EXPECT_EQ(BandCaption(24000), "24 кГц");
    EXPECT_EQ(BandCaption(0), "0 кГц");
}

}  // namespace
}  // namespace mirel::spectrum
