// The generator's signal sources: pink and periodic pink noise against their spectra, sweeps
// against their frequency law, levels that change without moving the waveform, and the pretend
// input playing them.
#include "capture/SignalSource.h"
#include "capture/GeneratorInput.h"
#include "support/BlockCollector.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <gtest/gtest.h>
#include <numbers>
#include <numeric>
#include <vector>

using namespace mirel;

namespace {

std::vector<double> rendered(SignalSource& source, std::int64_t first, int count)
{
    std::vector<double> out(static_cast<size_t>(count));
    source.render(first, count, out.data(), 1);
    return out;
}

SignalSpec signal(const std::string& text)
{
    GeneratorSpec spec;
    std::string error;
    EXPECT_TRUE(parseGeneratorSpec("A=" + text, spec, error)) << text << ": " << error;
    return spec.a;
}

double rms(const std::vector<double>& x)
{
    return std::sqrt(std::inner_product(x.begin(), x.end(), x.begin(), 0.0) / static_cast<double>(x.size()));
}

// The unnormalised DFT of x, bins 0 .. size/2.
std::vector<std::complex<double>> dft(std::vector<double> x)
{
    std::vector<std::complex<double>> bins(x.size() / 2 + 1);
    fftw_plan plan = fftw_plan_dft_r2c_1d(static_cast<int>(x.size()), x.data(),
                                          reinterpret_cast<fftw_complex*>(bins.data()), FFTW_ESTIMATE);
    fftw_execute(plan);
    fftw_destroy_plan(plan);
    return bins;
}

// ---- Periodic pink noise ----

class PeriodicNoise : public ::testing::TestWithParam<int> {};

TEST_P(PeriodicNoise, RepeatsExactlyWithA1OverFSpectrumOnWholeBinsAndItsRms)
{
    const int n = GetParam();
    SignalSource source(signal("periodic:" + std::to_string(n) + ":-20dBFS"), 48000, 7);
    const std::int64_t first = 123457;
    const std::vector<double> x = rendered(source, first, 2 * n);
    for (int i = 0; i < n; ++i)
        ASSERT_EQ(x[static_cast<size_t>(i + n)], x[static_cast<size_t>(i)]) << i;
    const std::vector<double> period(x.begin(), x.begin() + n);
    EXPECT_NEAR(rms(period), 0.1, 1e-12);

    // Any n consecutive frames are one period: a length-n transform sees only the components.
    const std::vector<std::complex<double>> bins = dft(period);
    const double reference = std::abs(bins[1]);
    ASSERT_GT(reference, 0.0);
    EXPECT_LT(std::abs(bins[0]), reference * 1e-9) << "DC";
    EXPECT_LT(std::abs(bins[static_cast<size_t>(n / 2)]), reference * 1e-9) << "Nyquist";
    for (int k = 2; k < n / 2; ++k)
        ASSERT_NEAR(std::abs(bins[static_cast<size_t>(k)]) * std::sqrt(k), reference, reference * 1e-9) << "bin " << k;
}

INSTANTIATE_TEST_SUITE_P(Lengths, PeriodicNoise, ::testing::Values(2048, 65536));

// ---- Pink noise ----

class PinkNoise : public ::testing::TestWithParam<int> {};

TEST_P(PinkNoise, FallsThreeDecibelsPerOctaveFrom20HzTo20kHzAtItsRms)
{
    const int rate = GetParam();
    SignalSource source(signal("pink:0.25"), rate, 11);
    // A table at least five seconds long, played round.
    int period = 1;
    while (period < 5 * rate)
        period *= 2;
    const std::vector<double> x = rendered(source, 1000, 2 * period);
    ASSERT_TRUE(std::equal(x.begin(), x.begin() + period, x.begin() + period));
    const std::vector<double> one(x.begin(), x.begin() + period);
    EXPECT_NEAR(rms(one), 0.25, 1e-12);

    // -3 dB per octave of density: the same power in every octave.
    const std::vector<std::complex<double>> bins = dft(one);
    std::vector<double> octaves;
    for (double low = 20.0; low < 20000.0; low *= 2) {
        double power = 0.0;
        for (size_t k = 0; k < bins.size(); ++k) {
            const double hz = static_cast<double>(k) * rate / period;
            if (hz >= low && hz < std::min(2 * low, 20000.0))
                power += std::norm(bins[k]);
        }
        // The last band stops at 20 kHz: what a full octave would hold.
        octaves.push_back(power * (2 * low > 20000.0 ? std::log(2.0) / std::log(20000.0 / low) : 1.0));
    }
    const double mean = std::accumulate(octaves.begin(), octaves.end(), 0.0) / static_cast<double>(octaves.size());
    for (size_t j = 0; j < octaves.size(); ++j)
        EXPECT_NEAR(10 * std::log10(octaves[j] / mean), 0.0, 0.5) << "octave from " << 20 * (1 << j) << " Hz";
}

INSTANTIATE_TEST_SUITE_P(Rates, PinkNoise, ::testing::Values(44100, 48000, 96000));

TEST(StereoNoise, ChannelsPlayDifferentNoises)
{
    GeneratorSpec spec;
    std::string error;
    for (const char* text : {"A=pink,B=pink", "A=periodic:4096,B=periodic:4096", "A=noise,B=noise"}) {
        ASSERT_TRUE(parseGeneratorSpec(text, spec, error)) << error;
        StereoSource source(spec, 48000, 3);
        constexpr int Frames = 1 << 18;  // a whole period of each
        std::vector<double> frames(2 * Frames);
        source.render(0, Frames, frames.data());
        double ab = 0.0, aa = 0.0, bb = 0.0;
        for (size_t i = 0; i < frames.size(); i += 2) {
            ab += frames[i] * frames[i + 1];
            aa += frames[i] * frames[i];
            bb += frames[i + 1] * frames[i + 1];
        }
        EXPECT_NEAR(aa / Frames, 0.01, 0.001) << text;
        EXPECT_NEAR(bb / Frames, 0.01, 0.001) << text;
        // Few strong low components make the correlation of two independent pink noises over a
        // period anything but small; the same noise twice would give 1.
        EXPECT_LT(std::abs(ab) / std::sqrt(aa * bb), 0.3) << text;
    }
}

// ---- Sweeps ----

struct SweepCase {
    const char* text;
    int rate;
};

void PrintTo(const SweepCase& c, std::ostream* os)
{
    *os << c.text << " at " << c.rate << " Hz";
}

class Sweep : public ::testing::TestWithParam<SweepCase> {};

// Frames (fractional) where x rises through zero.
std::vector<double> risingZeros(const std::vector<double>& x)
{
    std::vector<double> at;
    for (size_t i = 1; i < x.size(); ++i)
        if (x[i - 1] < 0.0 && x[i] >= 0.0)
            at.push_back(static_cast<double>(i - 1) + x[i - 1] / (x[i - 1] - x[i]));
    return at;
}

TEST_P(Sweep, FollowsItsFrequencyLawSmoothlyAndRepeats)
{
    const SignalSpec spec = signal(GetParam().text);
    const int rate = GetParam().rate;
    SignalSource source(spec, rate, 1);
    const std::int64_t frames = std::llround(spec.duration * rate);
    ASSERT_EQ(sweepFrames(spec, rate), frames);

    // The sweep that starts an hour into the stream and the one after it: the same frames.
    const std::int64_t start = frames * (3600LL * rate / frames);
    const std::vector<double> x = rendered(source, start, static_cast<int>(2 * frames));
    for (std::int64_t i = 0; i < frames; ++i)
        ASSERT_EQ(x[static_cast<size_t>(i + frames)], x[static_cast<size_t>(i)]) << i;

    // A sweep starts PhaseLeadFrames before its first frame; f(t) = F1 (F2/F1)^(t/T).
    const double ratio = spec.frequency2 / spec.frequency;
    auto seconds = [&](double frame) { return (frame + PhaseLeadFrames) / rate; };
    auto frequency = [&](double t) { return spec.frequency * std::pow(ratio, t / spec.duration); };

    // The crossings up to ten periods apart give the mean frequency between them, which is the
    // law's mean over that stretch.
    const std::vector<double> sweep(x.begin(), x.begin() + frames);
    const std::vector<double> zeros = risingZeros(sweep);
    ASSERT_GT(zeros.size(), 100u);
    for (double share : {0.02, 0.3, 0.5, 0.7, 0.9}) {
        const auto from = std::lower_bound(zeros.begin(), zeros.end(), share * static_cast<double>(frames));
        const long periods = std::min<long>(10, zeros.end() - from - 1);
        ASSERT_GE(periods, 1);
        const double t0 = seconds(from[0]);
        const double t1 = seconds(from[periods]);
        const double measured = static_cast<double>(periods) / (t1 - t0);
        const double law = spec.duration / std::log(ratio) * (frequency(t1) - frequency(t0)) / (t1 - t0);
        EXPECT_NEAR(measured / law, 1.0, 1e-3) << "at " << t0 << " s";
    }

    // No jump in the phase within a sweep: each frame continues a sine of the frequency of its
    // moment from the two before it, x[n] = 2 cos(w) x[n-1] - x[n-2], up to what the frequency's
    // own change leaves.
    for (std::int64_t n = 2; n < frames; ++n) {
        const double w = 2 * std::numbers::pi * frequency(seconds(static_cast<double>(n - 1))) / rate;
        const size_t i = static_cast<size_t>(n);
        ASSERT_NEAR(x[i], 2 * std::cos(w) * x[i - 1] - x[i - 2], 1e-3 * spec.amplitude) << "frame " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(Directions, Sweep,
                         ::testing::Values(SweepCase{"sweep:100:10000:0.5", 96000},
                                           SweepCase{"sweep:5000:50:1.234567:-6dBFS", 48000},
                                           SweepCase{"sweep:20:20000:2:0.9", 48000}));

TEST(SweepWithoutSpan, IsASteadySine)
{
    SignalSpec sweep{SignalKind::Sweep, 1000.0, 0.5};
    sweep.frequency2 = 1000.0;
    sweep.duration = 1.0;
    const SignalSpec sine{SignalKind::Sine, 1000.0, 0.5};
    for (int n : {0, 7, 12345, 47999})
        EXPECT_NEAR(signalValue(sweep, n, 48000), signalValue(sine, n, 48000), 1e-9) << n;
}

// ---- Changing the level ----

class NewLevel : public ::testing::TestWithParam<const char*> {};

TEST_P(NewLevel, ASourceMadeLaterContinuesTheSameWaveform)
{
    const std::string kind = GetParam();
    SignalSource loud(signal(kind + ":0.8"), 48000, 5);
    SignalSource soft(signal(kind + ":-20dBFS"), 48000, 5);
    // The first source plays on through frame `at`, where the second one takes over.
    const std::int64_t at = 48000LL * 3 + 17;
    const std::vector<double> playing = rendered(loud, at - 4800, 2 * 4800);
    const std::vector<double> a(playing.begin() + 4800, playing.end());
    const std::vector<double> b = rendered(soft, at, 4800);
    int compared = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::abs(a[i]) < 1e-3)
            continue;
        ++compared;
        ASSERT_NEAR(b[i] / a[i], 0.1 / 0.8, 1e-9) << kind << ", frame " << at + static_cast<std::int64_t>(i);
    }
    EXPECT_GT(compared, 40);
}

INSTANTIATE_TEST_SUITE_P(Kinds, NewLevel,
                         ::testing::Values("sine:997", "square:440", "pulse:10", "sweep:30:3000:0.7", "pink",
                                           "periodic:8192"));

// ---- The pretend input ----

TEST(GeneratorNewSignals, ThePretendInputPlaysThem)
{
    GeneratorSpec spec;
    std::string error;
    ASSERT_TRUE(parseGeneratorSpec("A=periodic:2048:0.2,B=pink:-10dBFS", spec, error)) << error;
    GeneratorInput input(spec);
    input.setUnpaced(true);
    TWaveRecorder recorder{input};
    test::BlockCollector window{recorder};
    ASSERT_TRUE(recorder.StartRecording(0, 2, 48000, 16, &window, 8192, &window.buffer)) << recorder.ErrorText;
    const bool in = window.waitForBlocks(1, 5000);
    recorder.StopRecording();
    ASSERT_TRUE(in);

    std::vector<double> a, b;
    for (size_t i = 0; i + 3 < window.blocks[0].size(); i += 4) {
        const std::uint8_t* frame = window.blocks[0].data() + i;
        a.push_back(static_cast<std::int16_t>(frame[0] | frame[1] << 8) / 32768.0);
        b.push_back(static_cast<std::int16_t>(frame[2] | frame[3] << 8) / 32768.0);
    }
    for (size_t i = 0; i + 2048 < a.size(); ++i)
        ASSERT_EQ(a[i + 2048], a[i]) << i;
    EXPECT_NEAR(rms(a), 0.2, 0.001);
    EXPECT_NEAR(rms(b), std::pow(10.0, -0.5), 0.03) << "a short stretch of pink noise";
}

}  // namespace
