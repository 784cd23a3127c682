// The transfer function's output path: fractional-octave smoothing, independence from the capture's
// block sizes and the averaging's start, and the CSV text.

#include "TestSignals.h"
#include "transfer/CrossSpectra.h"
#include "transfer/OctaveSmoothing.h"
#include "transfer/TransferCsv.h"

#include <gtest/gtest.h>

#include <cmath>

namespace mirel::transfer::test {
namespace {

// Powers 1, 2, … 6 into one bin: a plain mean while fewer results than the averaging have come,
// exponential (weight 1/n) after that, a plain mean throughout without a limit.
TEST(CrossSpectra, AverageAsAPlainMeanUntilTheyHoldTheirBlocks)
{
    struct Case {
        int Averaging;
        double Expected[6];
    };
    const Case cases[] = {
        {1, {1, 2, 3, 4, 5, 6}}, {4, {1, 1.5, 2, 2.5, 3.125, 3.84375}}, {InfiniteAveraging, {1, 1.5, 2, 2.5, 3, 3.5}}};
    for (const Case& c : cases) {
        CrossSpectra spectra;
        spectra.Resize(1);
        for (int i = 0; i < 6; ++i) {
            const std::complex<double> a = std::sqrt(i + 1.0), b = std::polar(2 * a.real(), 0.5);
            spectra.Add({&a, 1}, {&b, 1}, c.Averaging);
            EXPECT_DOUBLE_EQ(spectra.View().Aa[0], c.Expected[i]) << c.Averaging << " " << i;
            EXPECT_DOUBLE_EQ(spectra.View().Bb[0], 4 * c.Expected[i]) << c.Averaging << " " << i;
            EXPECT_NEAR(std::arg(spectra.View().Ab[0]), 0.5, 1e-12);
        }
        EXPECT_EQ(spectra.Count(), 6);
    }
}

struct Spectra {
    explicit Spectra(int bins) : Aa(static_cast<std::size_t>(bins), 1.0), Bb(Aa), Ab(Aa.size(), 1.0) {}
    SpectraView View() const { return {Aa, Bb, Ab}; }
    std::vector<double> Aa, Bb;
    std::vector<std::complex<double>> Ab;
};

TEST(OctaveSmoothing, KeepsAFlatResponseAndAveragesAStepOverItsBand)
{
    constexpr int Bins = 2000, Step = 300;
    OctaveSmoother smoother;
    smoother.Set(Bins, 3);
    // A flat response of a device with a delay: the phase turns by 0.4 rad from bin to bin.
    Spectra flat(Bins);
    for (std::size_t k = 0; k < Bins; ++k)
        flat.Ab[k] = std::polar(0.5, 1.2 - 0.4 * static_cast<double>(k));
    const SpectraView smoothFlat = smoother.Apply(flat.View());
    for (std::size_t k = 0; k < Bins; ++k)
        ASSERT_LT(std::abs(smoothFlat.Ab[k] - flat.Ab[k]), 1e-12) << k;

    // S_AB a step from 1 to 0 at bin 300: a third-octave mean at bin k is the share of the bins within
    // f_k · 2^(±1/6) that lie below the step.
    Spectra step(Bins);
    for (std::size_t k = Step; k < Bins; ++k)
        step.Ab[k] = 0;
    const SpectraView smoothStep = smoother.Apply(step.View());
    for (int k : {100, 280, 300, 320, 340, 400}) {
        int inside = 0, below = 0;
        for (int j = 1; j < Bins; ++j)
            if (j >= k * std::exp2(-1.0 / 6) && j <= k * std::exp2(1.0 / 6)) {
                ++inside;
                below += j < Step;
            }
        EXPECT_NEAR(smoothStep.Ab[static_cast<std::size_t>(k)].real(), static_cast<double>(below) / inside, 1e-12) << k;
        EXPECT_NEAR(smoothStep.Aa[static_cast<std::size_t>(k)], 1, 1e-12);
    }
}

// The same frames in one piece, in small random pieces and in large ones give the same results,
// with averaging of every kind (the first results are a plain mean, so their start is not biased).
class BlockSizes : public testing::TestWithParam<int> {};

TEST_P(BlockSizes, DoNotChangeTheResults)
{
    TransferSettings settings;
    settings.FftLength = 4096;
    settings.Averaging = GetParam();
    settings.LowHz = 0;
    settings.HighHz = 24000;
    const auto a = WhiteNoise(4096 * 5, 8000, 41);
    const auto b = LowPass(3000, 0.7).Filter(a);
    const auto frames = Stereo(a, b);

    std::vector<std::vector<TransferPoint>> outputs;
    for (int maxBlock : {0, 37, 9000}) {
        TransferAnalyser analyser;
        analyser.SetRate(Rate);
        analyser.SetSettings(settings);
        const int made = maxBlock == 0 ? analyser.Feed(frames) : FeedInPieces(analyser, frames, 51, maxBlock);
        ASSERT_EQ(made, 17);
        ASSERT_EQ(analyser.Results(), 17);
        outputs.emplace_back(analyser.Points().begin(), analyser.Points().end());
    }
    ASSERT_EQ(outputs[0].size(), 2049u);
    for (std::size_t i = 1; i < outputs.size(); ++i)
        for (std::size_t k = 0; k < outputs[0].size(); ++k) {
            ASSERT_EQ(outputs[i][k].MagnitudeDb, outputs[0][k].MagnitudeDb) << k;
            ASSERT_EQ(outputs[i][k].Coherence, outputs[0][k].Coherence) << k;
        }
    // Averages over the 17 results, not over one of them, however few blocks the average keeps
    // at its start: below 3 kHz the filter passes nearly everything and γ² stays near 1.
    double sum = 0;
    for (std::size_t k = 1; k < 200; ++k)
        sum += outputs[0][k].Coherence;
    EXPECT_GT(sum / 199, 0.99);
}

INSTANTIATE_TEST_SUITE_P(Transfer, BlockSizes, testing::Values(4, 64, InfiniteAveraging));

TEST(TransferCsv, WritesOneLinePerPointInTheCLocale)
{
    const TransferPoint points[] = {{20.5, -0.125, 180, 1}, {48000.0 / 16384, -3.0102999566398121, -12.5, 0.25}};
    EXPECT_EQ(TransferCsv(points), "frequency_hz,magnitude_db,phase_deg,coherence\r\n"
                                   "20.5,-0.125,180,1\r\n"
                                   "2.9296875,-3.010299956639812,-12.5,0.25\r\n");
}

}  // namespace
}  // namespace mirel::transfer::test
