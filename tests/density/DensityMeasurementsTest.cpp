// The density display's automatic measurements on the generator's Gaussian noise, taken as the
// window takes a block, on uniform noise and a clipped sine built level by level; and their texts.
#include "density/DensityReadings.h"

#include "DensityBlocks.h"
#include "capture/SignalSpec.h"
#include "support/GeneratorBlock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

namespace mirel::pv {
namespace {

constexpr int Rate = 48000;
const int Frames = SetNewBufSize(Rate, 1);

struct Both {
    LevelReadings A, B;
};

Both Measure(const std::vector<std::uint8_t>& block)
{
    Histogram histA{}, histB{};
    CountLevels(block, histA, histB);
    return {MeasureLevels(histA), MeasureLevels(histB)};
}

// Level of `volts` as the capture converts it.
std::uint8_t Level(double volts)
{
    return voltsToSample8(volts);
}

TEST(DensityMeasurements, MeanSpreadAndClippingOfKnownSignals)
{
    // Uniform between −0.3 and 0.5 V, evenly filled (the golden-ratio sequence), on channel A; a sine
    // of 1.5 V, cut at the ends of the range for (2 / π) acos(1 / 1.5) of the time, on B.
    const auto built = testing::MakeBlock(
        Frames, [](int k) { return Level(-0.3 + 0.8 * std::fmod(k * std::numbers::phi, 1.0)); },
        [](int k) { return Level(1.5 * std::sin(2 * std::numbers::pi * 997 * k / Rate)); });
    const Both b = Measure(built);
    const Both g = Measure(test::GeneratorBlock("A=noise:0.1,B=noise:0.2", Rate, 8, Frames));
    struct Case {
        const char* What;
        LevelReadings Measured;
        double Mean, StdDev;
        double Tolerance;  // of the spread, for the mean and the spread
    } cases[] = {
        // Evenly filled, so the block's own statistics are the exact ones: tighter than the noise.
        {"uniform", b.A, 0.1, 0.8 / std::sqrt(12.0), 0.001},
        {"Gaussian 0.1 V", g.A, 0, 0.1, 0.01},
        {"Gaussian 0.2 V", g.B, 0, 0.2, 0.01},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.Measured.Samples, static_cast<std::uint64_t>(Frames)) << c.What;
        EXPECT_NEAR(c.Measured.Mean, c.Mean, c.Tolerance * c.StdDev) << c.What;
        EXPECT_NEAR(c.Measured.StdDev, c.StdDev, c.Tolerance * c.StdDev) << c.What;
        EXPECT_EQ(c.Measured.ClippedShare, 0) << c.What;
        RecordProperty(std::string(c.What) + " mean error", std::to_string(c.Measured.Mean - c.Mean));
        RecordProperty(std::string(c.What) + " std error", std::to_string(c.Measured.StdDev / c.StdDev - 1));
    }
    const double clipped = 2 / std::numbers::pi * std::acos(1 / 1.5);
    EXPECT_NEAR(b.B.ClippedShare, clipped, 0.01 * clipped);
    EXPECT_NEAR(b.B.Mean, 0, 0.01);
    EXPECT_EQ(MeasureLevels(Histogram{}).StdDev, 0);
}

TEST(DensityMeasurements, LinesInTheLabelsUnits)
{
    const auto lines = ReadingLines({1000, -0.0123, 0.25, 0.0005236});
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].Label + " " + lines[0].Value, "Среднее -12.3 мВ");
    EXPECT_EQ(lines[1].Label + " " + lines[1].Value, "СКО 250 мВ");
    EXPECT_EQ(lines[2].Label + " " + lines[2].Value, "Ограничено 0.05 %");
}

}  // namespace
}  // namespace mirel::pv
