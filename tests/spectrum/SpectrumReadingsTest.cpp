// The spectrum's automatic measurements on generator signals quantised like the capture, through the
// display's own pass, and their readout text.
#include "spectrum/SpectrumReadings.h"
#include "capture/SignalSpec.h"
#include "spectrum/SpectrumBins.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace mirel::spectrum {
namespace {

constexpr int Rate = 48000;
constexpr int Length = 32768;

struct Tone {
    double Frequency;  // Hz
    double Amplitude;  // V
};

// The generator's sines summed from `start` frames on, with Gaussian noise of `noise` V RMS, as
// 16-bit samples.
std::vector<std::int16_t> Block(std::initializer_list<Tone> tones, std::int64_t start = 0, double noise = 0)
{
    std::mt19937 random(7);
    std::normal_distribution<double> gauss(0, noise > 0 ? noise : 1);
    std::vector<std::int16_t> samples(Length);
    for (int i = 0; i < Length; ++i) {
        double v = noise > 0 ? gauss(random) : 0;
        for (const Tone& t : tones)
            v += signalValue({SignalKind::Sine, t.Frequency, t.Amplitude}, start + i, Rate);
        samples[static_cast<std::size_t>(i)] = voltsToSample16(v);
    }
    return samples;
}

// Both channels through the display's pass, then measured from the bins it kept.
struct Measured {
    SpectrumReadings A, B;
};
Measured Measure(const std::vector<std::int16_t>& a, const std::vector<std::int16_t>& b)
{
    SpectrumPass pass;
    pass.Allocate(Length);
    SpectrumCurve curveA, curveB;
    pass.Run(a, b, PassSettings{}, PlotGeometry::FromSurface(1280, 800), curveA, curveB);
    return {MeasureSpectrum(pass.TransformA(), Rate), MeasureSpectrum(pass.TransformB(), Rate)};
}

TEST(SpectrumReadings, PeakFrequencyAndAmplitudeOfSinesBetweenBins)
{
    // Channel A plays the tone, channel B a second one at 0.7 of its frequency and 0.6 of its level.
    const struct {
        Tone tone;
        std::int64_t start;
    } cases[] = {
        {{50.0, 0.9}, 0},        {{50.37, 0.05}, 1234},  {{97.13, 0.3}, 99},     {{440.77, 0.7}, 7},
        {{1000.0, 0.5}, 0},      {{1000.73, 0.05}, 555}, {{3333.3, 0.12}, 3210}, {{7919.11, 0.9}, 48000},
        {{12345.6, 0.25}, 11},   {{15000.5, 0.8}, 4242}, {{19999.9, 0.05}, 17},  {{20000.0, 0.6}, 1},
        {{5860.55, 0.45}, 2024},  // half a bin off
    };
    double worstHz = 0, worstShare = 0;
    for (const auto& c : cases) {
        const Tone b{c.tone.Frequency * 0.7, c.tone.Amplitude * 0.6};
        const Measured m = Measure(Block({c.tone}, c.start), Block({b}, c.start));
        for (const auto& [readings, tone] : {std::pair{m.A, c.tone}, std::pair{m.B, b}}) {
            const double hz = std::fabs(readings.PeakFrequency - tone.Frequency);
            const double share = std::fabs(readings.PeakAmplitude / tone.Amplitude - 1);
            EXPECT_LE(hz, 0.01) << tone.Frequency << " Hz, " << tone.Amplitude << " V";
            EXPECT_LE(share, 0.005) << tone.Frequency << " Hz, " << tone.Amplitude << " V";
            worstHz = std::max(worstHz, hz);
            worstShare = std::max(worstShare, share);
        }
    }
    RecordProperty("worst_frequency_error_hz", std::to_string(worstHz));
    RecordProperty("worst_amplitude_error_share", std::to_string(worstShare));
}

TEST(SpectrumReadings, HarmonicDistortionAndNoise)
{
    const double none = SpectrumReadings::None;
    const struct {
        std::vector<std::int16_t> samples;
        double thd, thdTolerance;  // %; a tolerance below 0: not checked
        double snr, snrTolerance;  // dB
    } cases[] = {
        // 1 % and 0.5 %: THD √(1² + 0.5²) = 1.118 %; harmonics are not noise.
        {Block({{1000, 0.5}, {2000, 0.005}, {3000, 0.0025}}), 1.1180, 0.01, 92, 3},
        // A clean sine reads the 16-bit quantisation: 0.354 V RMS against 1/32768/√12 V is 92.1 dB.
        {Block({{1000, 0.5}}, 321), 0, 0.001, 92.1, 1},
        // On bin 2047, where the neighbours hold nothing.
        {Block({{2047 * 48000.0 / 32768, 0.5}}), 0, 0.001, 92.1, 1},
        // Low, where each component's image is near: 3rd, 5th and 10th harmonics of 10, 5 and 1 %.
        {Block({{61.3, 0.4}, {183.9, 0.04}, {306.5, 0.02}, {613, 0.004}}, 5), 11.225, 0.01, 90.1, 1},
        // … with an 11th of 2 %, which is noise: 20·lg(50) = 33.98 dB.
        {Block({{61.3, 0.4}, {183.9, 0.04}, {306.5, 0.02}, {613, 0.004}, {674.3, 0.008}}, 5), 11.225, 0.01, 33.98, 0.1},
        // The 4th harmonic (28 kHz) lies beyond half the rate: 2 % and 1 % below it.
        {Block({{7000.4, 0.3}, {14000.8, 0.006}, {21001.2, 0.003}}, 77), 2.2361, 0.01, 87.6, 1},
        // 5 mV of noise against 0.5 V: 20·lg(0.3536 / 0.005) = 36.99 dB.
        {Block({{1234.5, 0.5}}, 0, 0.005), none, -1, 36.99, 0.2},
        // Above a quarter of the rate no harmonic lies below half of it.
        {Block({{13000.3, 0.2}}), none, 0, 84.1, 1},
    };
    for (const auto& c : cases) {
        const SpectrumReadings r = Measure(c.samples, {}).A;
        if (c.thdTolerance < 0)
            ;  // noise fills the harmonics' bins: their THD means nothing here
        else if (std::isnan(c.thd))
            EXPECT_TRUE(std::isnan(r.ThdPercent)) << r.ThdPercent;
        else
            EXPECT_NEAR(r.ThdPercent, c.thd, c.thdTolerance);
        EXPECT_NEAR(r.SnrDb, c.snr, c.snrTolerance) << "THD " << r.ThdPercent;
    }
}

TEST(SpectrumReadings, ReadoutLinesInTheDisplaysFormat)
{
    const SpectrumReadings r{1000.004, 0.4996, 1.1181, 92.34};
    const SpectrumReadings small{12.3456, 0.0123, 0.01234, -3.21};
    const SpectrumReadings silence = MeasureSpectrum(std::vector<std::complex<double>>(Length / 2 + 1), Rate);
    const struct {
        SpectrumReadings readings;
        bool amplitudeMode;
        std::vector<std::string> texts;  // label, value, …
    } cases[] = {
        {r, true, {"Частота", "1.00000 кГц", "Амплитуда", "500 мВ", "КНИ", "1.12 %", "С/Ш", "92.3 дБ"}},
        {r, false, {"Частота", "1.00000 кГц", "Мощность", "250 мВт", "КНИ", "1.12 %", "С/Ш", "92.3 дБ"}},
        {small, true, {"Частота", "12.35 Гц", "Амплитуда", "12.3 мВ", "КНИ", "0.01 %", "С/Ш", "-3.21 дБ"}},
        {silence, true, {"Частота", "—", "Амплитуда", "—", "КНИ", "—", "С/Ш", "—"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> texts;
        for (const ReadingText& line : ReadingLines(c.readings, c.amplitudeMode)) {
            texts.push_back(line.Label);
            texts.push_back(line.Value);
        }
        EXPECT_EQ(texts, c.texts);
    }
}

}  // namespace
}  // namespace mirel::spectrum
