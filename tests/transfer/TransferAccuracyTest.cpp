// The transfer function measured on generated signals fed as 16-bit stereo blocks of random sizes:
// identical and inverted channels, an exact fractional delay, a low-pass with noise, gapped tones.

#include "TestSignals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mirel::transfer::test {
namespace {

using spectrum::WindowKind;

constexpr double Rms = 0.25 * FullScale;

void Start(TransferAnalyser& analyser, const TransferSettings& settings)
{
    analyser.SetRate(Rate);
    analyser.SetSettings(settings);
}

// Frames enough for `results` results of length n.
std::size_t FramesFor(int n, int results)
{
    return static_cast<std::size_t>(n + (results - 1) * (n / 4));
}

double PhaseError(double measured, double expected)
{
    return std::remainder(measured - expected, 360.0);
}

struct SameNoiseCase {
    int Length;
    WindowKind Window;
    int Smoothing;
    double Gain;  // B = Gain · A
};

class SameNoise : public testing::TestWithParam<SameNoiseCase> {};

TEST_P(SameNoise, IsFlatAndCoherentWithThePolarityOfB)
{
    const SameNoiseCase c = GetParam();
    TransferSettings settings;
    settings.FftLength = c.Length;
    settings.Window = c.Window;
    settings.Smoothing = c.Smoothing;
    TransferAnalyser analyser;
    Start(analyser, settings);
    const auto a = WhiteNoise(FramesFor(c.Length, 16), Rms, 5);
    auto b = a;
    for (double& x : b)
        x *= c.Gain;
    ASSERT_EQ(FeedInPieces(analyser, Stereo(a, b), 7), 16);

    const double phase = c.Gain < 0 ? 180 : 0;
    ASSERT_GT(analyser.Points().size(), 1000u);
    EXPECT_LE(analyser.Points().front().Frequency, 20 + 48000.0 / c.Length);
    EXPECT_GE(analyser.Points().back().Frequency, 20000 - 48000.0 / c.Length);
    for (const TransferPoint& p : analyser.Points()) {
        ASSERT_NEAR(p.MagnitudeDb, 0, 0.01) << p.Frequency;
        ASSERT_NEAR(PhaseError(p.PhaseDeg, phase), 0, 0.1) << p.Frequency;
        ASSERT_GT(p.PhaseDeg, -180) << p.Frequency;
        ASSERT_GE(p.Coherence, 0.999) << p.Frequency;
    }
    const DelayResult& delay = analyser.FindDelay();
    ASSERT_TRUE(delay.Valid);
    EXPECT_NEAR(delay.Samples, 0, 0.05);
    EXPECT_EQ(delay.Polarity, c.Gain < 0 ? -1 : 1);
}

INSTANTIATE_TEST_SUITE_P(Transfer, SameNoise,
                         testing::Values(SameNoiseCase{16384, WindowKind::Hann, 0, 1},
                                         SameNoiseCase{4096, WindowKind::Rectangular, 0, 1},
                                         SameNoiseCase{65536, WindowKind::BlackmanHarris, 3, 1},
                                         SameNoiseCase{16384, WindowKind::Hann, 12, -1}));

class FractionalDelay : public testing::TestWithParam<double> {};

TEST_P(FractionalDelay, IsFoundRepeatablyAndTakenOutOfThePhase)
{
    const double delay = GetParam();
    TransferAnalyser analyser;
    Start(analyser, TransferSettings{});
    const NoisePair noise = PeriodicNoisePair(65536, 5, delay, Rms, 11);
    const auto frames = Stereo(noise.A, noise.B);
    const std::size_t head = 3 * Rate * 2;  // 3 s of frames, more than is kept
    FeedInPieces(analyser, {frames.begin(), frames.begin() + head}, 3);

    double low = 1e9, high = -1e9;
    for (int i = 0; i < 10; ++i) {
        const DelayResult& found = analyser.FindDelay();
        ASSERT_TRUE(found.Valid);
        EXPECT_NEAR(found.Samples, delay, 0.05);
        EXPECT_NEAR(found.Seconds, delay / Rate, 0.05 / Rate);
        EXPECT_EQ(found.Polarity, 1);
        low = std::min(low, found.Samples);
        high = std::max(high, found.Samples);
        // The next search sees a stretch 0.1 s later of the same recording.
        const std::size_t at = head + static_cast<std::size_t>(i) * Rate / 5;
        analyser.Feed(std::span(frames).subspan(at, Rate / 5));
    }
    EXPECT_LE(high - low, 0.01);

    TransferSettings settings = analyser.Settings();
    settings.CompensateDelay = true;
    analyser.SetSettings(settings);
    for (const TransferPoint& p : analyser.Points()) {
        ASSERT_NEAR(p.MagnitudeDb, 0, 0.05) << p.Frequency;
        ASSERT_NEAR(PhaseError(p.PhaseDeg, 0), 0, 1) << p.Frequency;
    }
}

INSTANTIATE_TEST_SUITE_P(Transfer, FractionalDelay, testing::Values(72.25, -30.5));

// B = A through a 2 kHz low-pass, 72 samples later, with white noise 40 dB below A. Where the
// response falls into the noise, the single result wanders by the estimate's own random error
// (Bendat and Piersol: σ = √((1 − γ²) / (2 n γ²)) relative, n the independent averages; 64 Hann
// blocks overlapping by 75 % are worth about 32), so above 3 kHz the tolerance widens to 5 σ.
TEST(Transfer, LowPassMatchesItsExactResponse)
{
    TransferSettings settings;
    settings.Averaging = 64;
    settings.LowHz = 50;
    settings.HighHz = 23000;
    TransferAnalyser analyser;
    Start(analyser, settings);
    // Twice 64 results: the delay is found in the first, the second are measured with it taken out.
    const std::size_t half = FramesFor(settings.FftLength, 64);
    const std::size_t count = 2 * half;
    const auto a = WhiteNoise(count + 72, Rms, 21);
    const LowPass lowPass(2000, 1 / std::numbers::sqrt2);
    auto filtered = lowPass.Filter(a);
    const auto noise = WhiteNoise(count, Rms / 100, 22);
    std::vector<double> b(count);
    for (std::size_t n = 0; n < count; ++n)
        b[n] = filtered[n] + noise[n];  // filtered[n] stands 72 frames before a[n + 72]
    const std::vector<std::int16_t> frames = Stereo({a.begin() + 72, a.end()}, b);
    ASSERT_EQ(FeedInPieces(analyser, {frames.begin(), frames.begin() + 2 * static_cast<std::ptrdiff_t>(half)}, 9), 64);

    const DelayResult& delay = analyser.FindDelay();
    ASSERT_TRUE(delay.Valid);
    EXPECT_NEAR(delay.Samples, 72, 10);  // the correlation's peak: the delay plus the filter's own lag
    settings.CompensateDelay = true;
    analyser.SetSettings(settings);
    ASSERT_GE(FeedInPieces(analyser, {frames.begin() + 2 * static_cast<std::ptrdiff_t>(half), frames.end()}, 10), 64);

    double incoherent = 0;
    int high = 0;
    for (const TransferPoint& p : analyser.Points()) {
        if (p.Frequency > 20000) {
            incoherent += p.Coherence;
            ++high;
        }
        if (p.Frequency < 200) {
            ASSERT_GE(p.Coherence, 0.999) << p.Frequency;
        }
        if (p.Frequency > 10000)
            continue;
        const double f = p.Frequency;
        const std::complex<double> exact =
            lowPass.Response(f) * std::polar(1.0, 2 * std::numbers::pi * f * (delay.Samples - 72) / Rate);
        const double sigma = f <= 3000 ? 0 : std::sqrt((1 - p.Coherence) / (2 * 32 * p.Coherence));
        const double dbLimit = std::max(0.1, 5 * 20 / std::numbers::ln10 * sigma);
        const double degLimit = std::max(1.0, 5 * 180 / std::numbers::pi * sigma);
        ASSERT_NEAR(p.MagnitudeDb, 20 * std::log10(std::abs(exact)), dbLimit) << f;
        ASSERT_NEAR(PhaseError(p.PhaseDeg, std::arg(exact) * 180 / std::numbers::pi), 0, degLimit) << f;
    }
    ASSERT_GT(high, 0);
    EXPECT_LT(incoherent / high, 0.6);
}

// Tones with wide gaps between them, B = A plus a little independent noise: where A carries no
// energy, B is not explained by A.
TEST(Transfer, CoherenceIsLowInTheGapsOfTheExcitation)
{
    TransferSettings settings;
    settings.Averaging = 64;
    TransferAnalyser analyser;
    Start(analyser, settings);
    const std::size_t count = FramesFor(settings.FftLength, 64);
    const double tones[] = {200.7, 1003.3, 5011.1, 12345.6};
    std::vector<double> a(count, 0.0);
    for (std::size_t n = 0; n < count; ++n)
        for (double f : tones)
            a[n] += 0.15 * FullScale * std::sin(2 * std::numbers::pi * f * static_cast<double>(n) / Rate + f);
    const auto noise = WhiteNoise(count, 0.0003 * FullScale, 31);
    std::vector<double> b(count);
    for (std::size_t n = 0; n < count; ++n)
        b[n] = a[n] + noise[n];
    ASSERT_EQ(FeedInPieces(analyser, Stereo(a, b), 13), 64);

    const double binHz = static_cast<double>(Rate) / settings.FftLength;
    std::vector<double> gaps;
    for (const TransferPoint& p : analyser.Points()) {
        double nearest = 1e9;
        for (double f : tones)
            nearest = std::min(nearest, std::fabs(p.Frequency - f));
        if (nearest < binHz / 2) {
            EXPECT_GE(p.Coherence, 0.99) << p.Frequency;
        } else if (nearest > 50 * binHz) {
            gaps.push_back(p.Coherence);
        }
    }
    ASSERT_GT(gaps.size(), 3000u);
    std::nth_element(gaps.begin(), gaps.begin() + gaps.size() / 2, gaps.end());
    EXPECT_LT(gaps[gaps.size() / 2], 0.1);
}

}  // namespace
}  // namespace mirel::transfer::test
