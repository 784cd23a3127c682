// The transfer function of a real audio path: the output player plays periodic pink noise into the
// sound server's null sink, A and B both record its monitor's left channel (as a stimulus split to a
// device and to the reference input), through PortAudioInput as the instrument windows do, and every
// block goes into the analyser as it comes.
//
// Needs a PulseAudio server with a sink named "nullsink" and the source "nullsink.left"
// (scripts/sound-server.sh start runs one) and pactl; without them the test is skipped with the reason. It shares that
// sink with the other loopback tests, so CTest runs it alone (a resource lock).
#include "capture/TWaveRecorder.h"
#include "support/LoopbackFixture.h"
#include "support/WaitUntil.h"
#include "transfer/TransferAnalyser.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

using namespace mirel;

namespace {

constexpr int Rate = 48000;
// A tenth of a second: the blocks a window takes, and more than one result's quarter transform.
constexpr int BlockFrames = Rate / 10;

// Hands every block of the engine to the analyser from the signal's first sample on, and gives the
// buffer back.
class AnalyserFeed : public QObject {
public:
    AnalyserFeed(TWaveRecorder& recorder, transfer::TransferAnalyser& analyser)
        : recorder_(recorder), analyser_(analyser)
    {
    }

    bool event(QEvent* event) override
    {
        if (event->type() != WimDataEvent::eventType())
            return QObject::event(event);
        auto& message = static_cast<WimDataEvent&>(*event);
        if (recorder_.IsCurrent(message)) {
            std::span<const std::int16_t> samples(reinterpret_cast<const std::int16_t*>(message.header->data),
                                                  message.header->bytesRecorded / 2u & ~1u);
            // Before the signal arrives the monitor delivers silence, which would only dilute the average.
            if (!started_) {
                const auto first = std::find_if(samples.begin(), samples.end(), [](std::int16_t s) { return s != 0; });
                samples = samples.subspan(static_cast<std::size_t>(first - samples.begin()) & ~std::size_t{1});
                started_ = !samples.empty();
            }
            analyser_.Feed(samples);
            recorder_.BufferDone(message);
        }
        return true;
    }

private:
    TWaveRecorder& recorder_;
    transfer::TransferAnalyser& analyser_;
    bool started_ = false;
};

class TransferLoopback : public test::LoopbackFixture {
protected:
    void SetUp() override { openLoopback("nullsink.left"); }
};

TEST_F(TransferLoopback, PeriodicPinkNoiseSplitToBothInputsIsFlatInPhaseAndWithoutDelay)
{
    // Noise whose period is the transform's length: every bin excited, none leaking.
    GeneratorSpec spec;
    std::string error;
    ASSERT_TRUE(parseGeneratorSpec("A=periodic:16384:0.3,B=silence", spec, error)) << error;
    ASSERT_TRUE(player_->start(outputDevice_, spec, Rate, error)) << error;
    ASSERT_EQ(player_->sampleRate(), Rate);

    transfer::TransferAnalyser analyser;
    analyser.SetRate(Rate);
    transfer::TransferSettings settings;
    settings.FftLength = 16384;
    settings.Averaging = 16;
    settings.Smoothing = 0;
    analyser.SetSettings(settings);
    constexpr int Results = 24;  // some 2.3 s: the average has forgotten its start, 2 s kept for the delay
    {
        TWaveRecorder recorder(*input_);
        AnalyserFeed feed(recorder, analyser);
        std::uint8_t* slot = nullptr;
        ASSERT_TRUE(recorder.StartRecording(inputDevice_, 2, Rate, 16, &feed, BlockFrames, &slot))
            << recorder.ErrorText;
        EXPECT_TRUE(test::waitUntil([&] { return analyser.Results() >= Results; }, 20000))
            << "no signal, or too little: " << analyser.Results() << " results";
        recorder.StopRecording();
        EXPECT_EQ(recorder.LostFrames, 0);
    }
    EXPECT_EQ(player_->underruns(), 0);

    // The worst bin of each measure, with where it lies.
    transfer::TransferPoint worstDb, worstDeg;
    int checked = 0;
    for (const transfer::TransferPoint& p : analyser.Points()) {
        if (p.Frequency < 50 || p.Frequency > 20000)
            continue;
        ++checked;
        if (std::abs(p.MagnitudeDb) > std::abs(worstDb.MagnitudeDb))
            worstDb = p;
        if (std::abs(p.PhaseDeg) > std::abs(worstDeg.PhaseDeg))
            worstDeg = p;
    }
    EXPECT_GT(checked, 6000);
    EXPECT_LE(std::abs(worstDb.MagnitudeDb), 0.05) << "dB at " << worstDb.Frequency << " Hz";
    EXPECT_LE(std::abs(worstDeg.PhaseDeg), 1.0) << "° at " << worstDeg.Frequency << " Hz";
    const transfer::DelayResult& delay = analyser.FindDelay();
    ASSERT_TRUE(delay.Valid);
    EXPECT_NEAR(delay.Samples, 0.0, 0.05);
    EXPECT_EQ(delay.Polarity, 1);
    RecordProperty("worst_magnitude_db", std::to_string(worstDb.MagnitudeDb));
    RecordProperty("worst_phase_deg", std::to_string(worstDeg.PhaseDeg));
    RecordProperty("delay_samples", std::to_string(delay.Samples));
}

}  // namespace
