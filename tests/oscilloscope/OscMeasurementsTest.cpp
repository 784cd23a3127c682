// The oscilloscope's automatic measurements on the generator's sines, taken as the window takes a
// block, and on built blocks for DC offset, noise and too few crossings; and their readout texts.
#include "oscilloscope/OscReadings.h"
#include "oscilloscope/OscScales.h"

#include "TestBlocks.h"
#include "support/GeneratorBlock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

namespace mirel::osc {
namespace {

constexpr int Rate = 48000;

// Measured as the window does: the capture buffer taken into its block copy.
ChannelReadings Measure(const std::vector<std::uint8_t>& buffer, Channel channel)
{
    BlockCopy copy;
    copy.Allocate(static_cast<int>(buffer.size()));
    copy.Take(buffer.data(), true);
    return MeasureChannel(copy.View(), channel, Rate);
}

double RelativeError(double measured, double exact)
{
    return std::fabs(measured / exact - 1);
}

TEST(OscMeasurements, SinesReadTheirFrequencyRmsAndPeakToPeak)
{
    struct Case {
        char Channel;
        double Frequency, Amplitude;
        int TimeBasePosition;  // block of 302 (0), 453 (6), 1068 (8), 1836 (9), 3372 (10), 15660 (12) frames
    } cases[] = {
        {'A', 50, 0.9, 10},
        {'B', 50, 0.1, 12},
        {'A', 87.65, 0.45, 10},
        {'B', 160, 0.6, 9},
        {'A', 333.3, 0.25, 8},
        {'A', 997, 0.5, 6},
        {'B', 1000, 0.3, 9},
        {'A', 2345.6, 0.7, 6},
        {'B', 4321.5, 0.1, 0},
        {'A', 4800, 0.8, 6},
        {'A', 5000, 0.9, 0},
        {'B', 5000, 0.15, 12},
        // Eleven samples a period: every crest falls between two samples (1.1 % off unrefined).
        {'A', 48000 / 11.0, 0.9, 0},
    };
    double worstF = 0, worstRms = 0, worstPp = 0;
    for (const Case& c : cases) {
        const char other = c.Channel == 'A' ? 'B' : 'A';
        const std::string spec = std::string(1, c.Channel) + "=sine:" + std::to_string(c.Frequency) + ":" +
                                 std::to_string(c.Amplitude) + "," + other + "=sine:777:0.2";
        const int frames = BlockFramesFor(ScreenPointsFor(Rate, TimeBaseAt(c.TimeBasePosition)));
        ASSERT_GE(frames, 3 * Rate / c.Frequency) << spec;
        const ChannelReadings r =
            Measure(test::GeneratorBlock(spec, Rate, 16, frames), c.Channel == 'A' ? Channel::A : Channel::B);
        ASSERT_TRUE(r.HasFrequency) << spec;
        const double rms = c.Amplitude / std::numbers::sqrt2;
        worstF = std::max(worstF, RelativeError(r.Frequency, c.Frequency));
        worstRms = std::max(worstRms, RelativeError(r.Rms, rms));
        worstPp = std::max(worstPp, RelativeError(r.PeakToPeak, 2 * c.Amplitude));
        EXPECT_NEAR(r.Frequency, c.Frequency, 0.0005 * c.Frequency) << spec;
        EXPECT_NEAR(r.Period * c.Frequency, 1, 0.0005) << spec;
        // Asked for: 0.2 %. Whole periods to a fraction of a sample give 0.005 %; a whole sample
        // more or less at the ends would give up to 0.3 % on a short block.
        EXPECT_NEAR(r.Rms, rms, 0.0002 * rms) << spec;
        EXPECT_NEAR(r.PeakToPeak, 2 * c.Amplitude, 0.01 * 2 * c.Amplitude) << spec;
        EXPECT_NEAR(r.Max, c.Amplitude, 0.01 * c.Amplitude) << spec;
        EXPECT_NEAR(r.Min, -c.Amplitude, 0.01 * c.Amplitude) << spec;
        EXPECT_NEAR(r.Mean, 0, 0.001 * c.Amplitude) << spec;
    }
    RecordProperty("WorstFrequencyError", std::to_string(worstF));
    RecordProperty("WorstRmsError", std::to_string(worstRms));
    RecordProperty("WorstPeakToPeakError", std::to_string(worstPp));
}

// A block built sample by sample: a sine (or a square wave) of `amplitude` V at `frequency` Hz on
// `offset` V, with a pseudo-random wobble of up to `noise` V.
std::vector<std::uint8_t> Built(int frames, double frequency, double amplitude, double offset, double noise,
                                bool square)
{
    return testing::MakeBlock(frames, [=](int k) {
        const double wobble = noise * std::sin(k * 12.9898 + std::sin(k * 78.233) * 43758.5453);
        const double wave = std::sin(2 * std::numbers::pi * frequency * (k + 0.3) / Rate);
        const double v = offset + amplitude * (square ? std::copysign(1.0, wave) : wave) + wobble;
        return static_cast<std::int16_t>(std::lround(v * 32768));
    });
}

TEST(OscMeasurements, OffsetNoiseAndTooFewCrossings)
{
    struct Case {
        const char* What;
        int Frames;
        double Frequency, Amplitude, Offset, Noise;
        bool Square, HasFrequency;
        double Mean, Rms, PeakToPeak;  // 0: not checked
    } cases[] = {
        {"DC offset: crossings of the middle, not of 0 V", 4800, 200, 0.2, 0.5, 0, false, true, 0.5, std::sqrt(0.27),
         0.4},
        {"negative offset", 4800, 200, 0.2, -0.5, 0, false, true, -0.5, std::sqrt(0.27), 0.4},
        {"noise around the level makes no false crossings", 9600, 50, 0.3, 0, 0.02, false, true, 0, std::sqrt(0.0452),
         0},
        {"a square wave's edge is no crest", 4800, 200, -0.5, 0, 0, true, true, 0, 0.5, 1},
        {"one rising crossing only", 600, 100, 0.5, 0, 0, false, false, 0, 0, 0},
        {"silence", 2000, 0, 0, 0, 0, false, false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const ChannelReadings r =
            Measure(Built(c.Frames, c.Frequency, c.Amplitude, c.Offset, c.Noise, c.Square), Channel::A);
        EXPECT_EQ(r.HasFrequency, c.HasFrequency) << c.What;
        if (!c.HasFrequency) {
            EXPECT_EQ(r.Frequency, 0) << c.What;
            continue;
        }
        EXPECT_NEAR(r.Frequency, c.Frequency, 0.01 * c.Frequency) << c.What;
        EXPECT_NEAR(r.Mean, c.Mean, 5e-6 + c.Noise / 100) << c.What;
        EXPECT_NEAR(r.Rms, c.Rms, 0.005 * c.Rms) << c.What;
        if (c.PeakToPeak > 0) {
            EXPECT_NEAR(r.PeakToPeak, c.PeakToPeak, 0.01 * c.PeakToPeak) << c.What;
        }
    }
    const ChannelReadings empty = MeasureChannel(BlockView(), Channel::B, Rate);
    EXPECT_FALSE(empty.HasFrequency);
    EXPECT_EQ(empty.Rms, 0);
}

TEST(OscMeasurements, LinesInTheLabelsUnits)
{
    ChannelReadings r{true, 1000.2, 0.0009998, 0.5, -0.5, 1.0, 0.0000123, 0.35355};
    const std::vector<ReadingText> expected = {
        {"Частота", "1.000 кГц"}, {"Период", "999.8 мкс"}, {"Макс.", "500 мВ"}, {"Мин.", "-500 мВ"},
        {"Размах", "1 В"},        {"Среднее", "12.3 мкВ"}, {"СКЗ", "354 мВ"}};
    auto lines = ReadingLines(r);
    ASSERT_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].Label + " " + lines[i].Value, expected[i].Label + " " + expected[i].Value);
    r.HasFrequency = false;
    lines = ReadingLines(r);
    EXPECT_EQ(lines[0].Value + lines[1].Value, "——");
}

}  // namespace
}  // namespace mirel::osc
