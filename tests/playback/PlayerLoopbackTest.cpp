// The output player end to end through a real sound server: signals played into the server's null
// sink are recorded from its monitor through PortAudioInput and the capture engine, and measured.
//
// Needs a PulseAudio server with a sink named "nullsink" (scripts/sound-server.sh start runs one)
// and pactl; without them the tests are skipped with the reason. They share that sink with the
// sound-card capture tests, so CTest runs them one at a time (a resource lock).
#include "capture/TWaveRecorder.h"
#include "support/LoopbackFixture.h"
#include "support/WaitUntil.h"

#include <fftw3.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <complex>
#include <functional>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

using namespace mirel;

namespace {

constexpr int Rate = 48000;
// Long blocks: the engine holds up to one block while the last one is away, which rides out a
// busy machine's delays of the test's own thread.
constexpr int BlockFrames = Rate;

using test::waitUntil;

// Both channels of a recording in volts.
struct Take {
    std::vector<double> a, b;
};

// Collects the engine's 16-bit stereo blocks and gives each buffer back.
class Collector : public QObject {
public:
    explicit Collector(TWaveRecorder& recorder) : recorder_(recorder) {}
    Take take;

    bool event(QEvent* event) override
    {
        if (event->type() != WimDataEvent::eventType())
            return QObject::event(event);
        auto& message = static_cast<WimDataEvent&>(*event);
        if (recorder_.IsCurrent(message)) {
            const auto* samples = reinterpret_cast<const std::int16_t*>(message.header->data);
            for (std::uint32_t i = 0; i + 1 < message.header->bytesRecorded / 2u; i += 2) {
                take.a.push_back(samples[i] / 32768.0);
                take.b.push_back(samples[i + 1] / 32768.0);
            }
            recorder_.BufferDone(message);
        }
        return true;
    }

private:
    TWaveRecorder& recorder_;
};

double db(double ratio)
{
    return 20 * std::log10(ratio);
}

// The component at `hz` of x[from .. from + count) as a complex amplitude (peak, phase at `from`);
// exact for a sine of that frequency when the stretch holds whole periods of it.
std::complex<double> component(const std::vector<double>& x, size_t from, size_t count, double hz)
{
    std::complex<double> sum;
    const double w = 2 * std::numbers::pi * hz / Rate;
    for (size_t n = 0; n < count; ++n)
        sum += x[from + n] * std::polar(1.0, -w * static_cast<double>(n));
    return 2.0 * sum / static_cast<double>(count);
}

// The longest run of exact zeros on both channels, in frames: a gap the server filled.
size_t longestSilence(const Take& take)
{
    size_t longest = 0;
    for (size_t i = 0, run = 0; i < take.a.size(); ++i) {
        run = take.a[i] == 0 && take.b[i] == 0 ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

// Zero crossings of x, in frames, between samples by linear interpolation.
std::vector<double> crossings(const std::vector<double>& x)
{
    std::vector<double> at;
    for (size_t i = 1; i < x.size(); ++i)
        if ((x[i - 1] < 0) != (x[i] < 0))
            at.push_back(static_cast<double>(i - 1) + x[i - 1] / (x[i - 1] - x[i]));
    return at;
}

class PlayerLoopback : public test::LoopbackFixture {
protected:
    void SetUp() override { openLoopback("nullsink.monitor"); }

    void TearDown() override
    {
        player_.reset();
        input_.reset();
        if (sinkUnloaded_) {
            bool ok = false;
            test::pactl({"load-module", "module-null-sink", "sink_name=nullsink", "rate=48000", "channels=2"}, &ok);
        }
    }

    void play(const std::string& text)
    {
        GeneratorSpec spec;
        std::string error;
        ASSERT_TRUE(parseGeneratorSpec(text, spec, error)) << error;
        ASSERT_TRUE(player_->start(outputDevice_, spec, Rate, error)) << error;
        EXPECT_EQ(player_->sampleRate(), Rate);
    }

    // Records until the signal arrives, then `seconds` more from a tenth of a second after its
    // onset; `during(frames)` is called as the recording grows, with the frames kept so far.
    Take record(double seconds, const std::function<void(size_t)>& during = {})
    {
        TWaveRecorder recorder(*input_);
        Collector collector(recorder);
        std::uint8_t* slot = nullptr;
        EXPECT_TRUE(recorder.StartRecording(inputDevice_, 2, Rate, 16, &collector, BlockFrames, &slot))
            << recorder.ErrorText;
        const auto wanted = static_cast<size_t>(seconds * Rate);
        size_t onset = 0;
        const bool done = waitUntil(
            [&] {
                const Take& take = collector.take;
                for (; onset < take.a.size() && std::abs(take.a[onset]) < 0.01 && std::abs(take.b[onset]) < 0.01;)
                    ++onset;
                const size_t from = onset + Rate / 10;
                const size_t kept = take.a.size() > from ? take.a.size() - from : 0;
                if (during && onset < take.a.size())
                    during(kept);
                return kept >= wanted;
            },
            static_cast<int>(seconds * 1000) + 15000);
        recorder.StopRecording();
        EXPECT_TRUE(done) << "no signal, or too little: " << collector.take.a.size() << " frames came";
        EXPECT_EQ(recorder.LostFrames, 0);
        Take take;
        const size_t from = std::min(onset + Rate / 10, collector.take.a.size());
        const size_t to = std::min(from + wanted, collector.take.a.size());
        take.a.assign(collector.take.a.begin() + from, collector.take.a.begin() + to);
        take.b.assign(collector.take.b.begin() + from, collector.take.b.begin() + to);
        return take;
    }

    bool sinkUnloaded_ = false;
};

// Power of x in each octave band around 31.25 Hz .. 16 kHz, from averaged Hann-windowed spectra.
std::vector<double> octaveBandPowers(const std::vector<double>& x)
{
    constexpr int Length = 16384;
    std::vector<double> window(Length), in(Length), power(Length / 2 + 1);
    std::vector<std::complex<double>> bins(Length / 2 + 1);
    for (int n = 0; n < Length; ++n)
        window[n] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * n / Length);
    fftw_plan plan =
        fftw_plan_dft_r2c_1d(Length, in.data(), reinterpret_cast<fftw_complex*>(bins.data()), FFTW_ESTIMATE);
    for (size_t from = 0; from + Length <= x.size(); from += Length / 2) {
        for (int n = 0; n < Length; ++n)
            in[n] = x[from + n] * window[n];
        fftw_execute(plan);
        for (size_t k = 0; k < bins.size(); ++k)
            power[k] += std::norm(bins[k]);
    }
    fftw_destroy_plan(plan);
    std::vector<double> bands;
    for (double centre = 31.25; centre <= 16000; centre *= 2) {
        double sum = 0;
        for (size_t k = 1; k < power.size(); ++k) {
            const double hz = static_cast<double>(k) * Rate / Length;
            if (hz >= centre / std::numbers::sqrt2 && hz < centre * std::numbers::sqrt2)
                sum += power[k];
        }
        bands.push_back(sum);
    }
    return bands;
}

}  // namespace

TEST_F(PlayerLoopback, AMinuteOfSineAndPinkNoiseArrivesExactlyAndWithoutUnderrun)
{
    ASSERT_NO_FATAL_FAILURE(play("A=sine:1000:0.5,B=pink:0.1"));
    constexpr int Seconds = 60;
    const Take take = record(Seconds);
    ASSERT_EQ(take.a.size(), size_t{Seconds} * Rate);
    EXPECT_EQ(player_->underruns(), 0);
    EXPECT_FALSE(player_->lost());
    EXPECT_LT(longestSilence(take), size_t{Rate / 1000}) << "the server filled a gap";

    // Each second holds 1000 whole periods: its component at 1000 Hz has the sine's peak exactly,
    // and its phase stands still from second to second only at exactly 1000 Hz.
    std::vector<double> phases;
    for (size_t second = 0; second < Seconds; ++second) {
        const std::complex<double> c = component(take.a, second * Rate, Rate, 1000);
        EXPECT_NEAR(db(std::abs(c) / 0.5), 0.0, 0.01) << "second " << second;
        phases.push_back(std::arg(c));
    }
    double drift = 0;  // radians per second, unwrapped
    for (size_t i = 1; i < phases.size(); ++i)
        drift += std::remainder(phases[i] - phases[i - 1], 2 * std::numbers::pi);
    drift /= static_cast<double>(phases.size() - 1);
    EXPECT_NEAR(1000 + drift / (2 * std::numbers::pi), 1000.0, 1e-4) << "the sine's frequency";

    // Pink noise: the same power in every octave.
    const std::vector<double> bands = octaveBandPowers(take.b);
    double mean = 0;
    for (const double band : bands)
        mean += 10 * std::log10(band) / static_cast<double>(bands.size());
    for (size_t i = 0; i < bands.size(); ++i)
        EXPECT_NEAR(10 * std::log10(bands[i]) - mean, 0.0, 0.5) << "octave around " << 31.25 * (1 << i) << " Hz";
}

TEST_F(PlayerLoopback, ASweepArrivesWithItsFrequencyRisingAsWritten)
{
    constexpr double F1 = 100, F2 = 10000, Sweep = 2;
    ASSERT_NO_FATAL_FAILURE(play("A=sweep:100:10000:2:0.5,B=silence"));
    const Take take = record(2 * Sweep);
    ASSERT_EQ(take.a.size(), static_cast<size_t>(2 * Sweep * Rate));

    // The frequency over every four half periods, at their middle; where in its sweep each is,
    // from the frequency, gives the sweep's start, which the recording's onset leaves open.
    const std::vector<double> at = crossings(take.a);
    struct Stretch {
        double time, hz;
    };
    std::vector<Stretch> stretches;
    std::vector<double> starts;
    for (size_t i = 0; i + 4 < at.size(); i += 4) {
        const Stretch s{(at[i] + at[i + 4]) / 2 / Rate, 2.0 * Rate / (at[i + 4] - at[i])};
        // A stretch across the return to F1 mixes two sweeps: its halves disagree.
        if (std::abs((at[i + 4] - at[i + 2]) / (at[i + 2] - at[i]) - 1) > 0.1)
            continue;
        stretches.push_back(s);
        starts.push_back(std::fmod(s.time - Sweep * std::log(s.hz / F1) / std::log(F2 / F1) + 10 * Sweep, Sweep));
    }
    ASSERT_GT(stretches.size(), 1000u);
    std::nth_element(starts.begin(), starts.begin() + starts.size() / 2, starts.end());
    const double start = starts[starts.size() / 2];
    int off = 0;
    for (const Stretch& s : stretches) {
        double into = std::fmod(s.time - start + 10 * Sweep, Sweep);
        if (into > Sweep / 2 && s.hz < std::sqrt(F1 * F2))
            into -= Sweep;  // just after the return, which the estimated start may put a little late
        const double expected = F1 * std::pow(F2 / F1, into / Sweep);
        if (std::abs(s.hz / expected - 1) > 0.03 && ++off <= 5)
            ADD_FAILURE() << "at " << s.time << " s: " << s.hz << " Hz, " << expected << " Hz written";
    }
    EXPECT_EQ(off, 0) << "stretches off the sweep";
}

TEST_F(PlayerLoopback, ANewSignalWhilePlayingFadesInWithoutAGapOrAStep)
{
    ASSERT_NO_FATAL_FAILURE(play("A=sine:1000:0.5,B=sine:1000:0.1"));
    GeneratorSpec loud, soft;
    std::string error;
    ASSERT_TRUE(parseGeneratorSpec("A=sine:1000:0.5,B=sine:1000:0.1", loud, error));
    ASSERT_TRUE(parseGeneratorSpec("A=sine:1000:0.1,B=sine:1000:0.5", soft, error));
    // A change every 0.3 s: the channels swap their levels.
    int changes = 0;
    const Take take = record(3, [&](size_t kept) {
        if (kept >= static_cast<size_t>(changes + 1) * Rate * 3 / 10 && changes < 8)
            player_->setSpec(++changes % 2 ? soft : loud);
    });
    ASSERT_EQ(changes, 8);
    EXPECT_EQ(player_->underruns(), 0);
    EXPECT_LT(longestSilence(take), size_t{Rate / 1000}) << "a gap at a change";

    // A 1000 Hz sine of 0.5 V moves by at most 2π·1000/48000·0.5 from one frame to the next; a
    // crossfade between two sines in phase stays below that, a jump does not.
    const double limit = 2 * std::numbers::pi * 1000 / Rate * 0.5 * 1.02;
    for (const auto* channel : {&take.a, &take.b}) {
        double largest = 0;
        for (size_t i = 1; i < channel->size(); ++i)
            largest = std::max(largest, std::abs((*channel)[i] - (*channel)[i - 1]));
        EXPECT_LT(largest, limit) << "a step at a change";
    }
    // Each level is reached: the peaks over 10 ms stretches are those of the two levels or between.
    int loudStretches = 0, softStretches = 0;
    for (size_t from = 0; from + Rate / 100 <= take.a.size(); from += Rate / 100) {
        const double peak = std::abs(component(take.a, from, Rate / 100, 1000));
        loudStretches += std::abs(db(peak / 0.5)) < 0.05;
        softStretches += std::abs(db(peak / 0.1)) < 0.05;
    }
    EXPECT_GT(loudStretches, 50);
    EXPECT_GT(softStretches, 50);
}

TEST_F(PlayerLoopback, ALostSinkStopsThePlayerAndItStartsAgainOnceTheSinkIsBack)
{
    ASSERT_NO_FATAL_FAILURE(play("A=sine:1000:0.5"));
    EXPECT_FALSE(player_->lost());
    bool ok = false;
    test::pactl({"unload-module", "module-null-sink"}, &ok);
    ASSERT_TRUE(ok) << "the null sink could not be unloaded";
    sinkUnloaded_ = true;
    EXPECT_TRUE(waitUntil([&] { return player_->lost(); }, 3000)) << "the loss is not noticed";
    EXPECT_TRUE(player_->playing());
    // While the sink is away an attempt to play again fails with the sound library's reason.
    std::string error;
    EXPECT_FALSE(player_->start(outputDevice_, GeneratorSpec::defaults(), Rate, error));
    EXPECT_TRUE(error.starts_with("Не удалось открыть устройство вывода «pulse»: ")) << error;
    EXPECT_GT(error.size(), std::string("Не удалось открыть устройство вывода «pulse»: ").size());

    test::pactl({"load-module", "module-null-sink", "sink_name=nullsink", "rate=48000", "channels=2"}, &ok);
    ASSERT_TRUE(ok);
    sinkUnloaded_ = false;
    ASSERT_NO_FATAL_FAILURE(play("A=sine:1000:0.5"));
    EXPECT_FALSE(player_->lost());
    const Take take = record(0.5);
    EXPECT_NEAR(db(std::abs(component(take.a, 0, Rate / 10, 1000)) / 0.5), 0.0, 0.01);
}
