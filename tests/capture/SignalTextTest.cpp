// The generator's description language: every kind with its values and defaults, levels in volts
// and dBFS, the text form read back, and malformed texts refused with the fault named.
#include "capture/SignalSpec.h"

#include <cmath>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <utility>

using namespace mirel;

namespace {

GeneratorSpec parsed(const std::string& text)
{
    GeneratorSpec spec = GeneratorSpec::defaults();
    std::string error;
    EXPECT_TRUE(parseGeneratorSpec(text, spec, error)) << text << ": " << error;
    return spec;
}

std::string rejection(const std::string& text)
{
    GeneratorSpec spec = GeneratorSpec::defaults();
    std::string error;
    EXPECT_FALSE(parseGeneratorSpec(text, spec, error)) << text << " was accepted";
    EXPECT_EQ(spec, GeneratorSpec::defaults()) << "a rejected text changed the description: " << text;
    EXPECT_NE(error.find("\xD0"), std::string::npos) << "not in Russian: " << error;
    return error;
}

TEST(GeneratorSpecParsing, ReadsEveryKindWithItsValues)
{
    const GeneratorSpec spec = parsed("A=sine:440:0.25,B=pulse:20:0.6:2.5");
    EXPECT_EQ(spec.a, (SignalSpec{SignalKind::Sine, 440.0, 0.25, 0.0, 0.0}));
    EXPECT_EQ(spec.b.kind, SignalKind::Pulse);
    EXPECT_DOUBLE_EQ(spec.b.frequency, 20.0);
    EXPECT_DOUBLE_EQ(spec.b.amplitude, 0.6);
    EXPECT_DOUBLE_EQ(spec.b.pulseWidth, 0.0025);

    const GeneratorSpec other = parsed("B=square:50000:1, A=noise:0.2");
    EXPECT_EQ(other.b, (SignalSpec{SignalKind::Square, 50000.0, 1.0, 0.0, 0.0}));
    EXPECT_EQ(other.a, (SignalSpec{SignalKind::Noise, 0.0, 0.2, 0.0, 0.0}));

    EXPECT_EQ(parsed("a=SILENCE").a.kind, SignalKind::Silence);
    EXPECT_DOUBLE_EQ(parsed("A=sine:1e3:0.5").a.frequency, 1000.0);
    EXPECT_DOUBLE_EQ(parsed("A=sine:1e+3:0.5+noise:0.01").a.frequency, 1000.0);
    EXPECT_DOUBLE_EQ(parsed("A = sine : 0.5 : 0").a.frequency, 0.5);

    SignalSpec sweep{SignalKind::Sweep, 20.0, 0.5};
    sweep.frequency2 = 20000.0;
    sweep.duration = 10.0;
    EXPECT_EQ(parsed("A=sweep:20:20000:10").a, sweep);
    SignalSpec periodic{SignalKind::Periodic, 0.0, 0.1};
    periodic.periodFrames = 65536;
    EXPECT_EQ(parsed("B=periodic:65536").b, periodic);
    EXPECT_EQ(parsed("A=pink").a, (SignalSpec{SignalKind::Pink, 0.0, 0.1}));
    // Levels in dB below full scale, in the parameter's own measure.
    EXPECT_DOUBLE_EQ(parsed("A=sine:1000:-20dBFS").a.amplitude, 0.1);
    EXPECT_NEAR(parsed("A=pink: -6.0206 DBFS").a.amplitude, 0.5, 1e-6);
    EXPECT_DOUBLE_EQ(parsed("A=square:50:0dbfs+noise:-40dBFS").a.noise, 0.01);
    EXPECT_DOUBLE_EQ(parsed("A=sweep:1000:10:0.5:-1e1dBFS").a.amplitude, std::pow(10.0, -0.5));
}

TEST(GeneratorSpecParsing, OmittedValuesAndChannelsKeepTheirDefaults)
{
    const GeneratorSpec defaults = GeneratorSpec::defaults();
    EXPECT_EQ(defaults.a.kind, SignalKind::Sine);
    EXPECT_DOUBLE_EQ(defaults.a.frequency, 1000.0);
    EXPECT_DOUBLE_EQ(defaults.a.amplitude, 0.5);
    EXPECT_GT(defaults.a.noise, 0.0);
    EXPECT_LE(defaults.a.noise, 0.01);
    EXPECT_EQ(defaults.b.kind, SignalKind::Pulse);
    EXPECT_DOUBLE_EQ(defaults.b.frequency, 10.0);
    EXPECT_DOUBLE_EQ(defaults.b.amplitude, 0.8);

    const GeneratorSpec onlyB = parsed("B=sine:300");
    EXPECT_EQ(onlyB.a, defaults.a);
    EXPECT_EQ(onlyB.b, (SignalSpec{SignalKind::Sine, 300.0, 0.5, 0.0, 0.0}));

    const GeneratorSpec pulse = parsed("A=pulse");
    EXPECT_EQ(pulse.a, defaults.b) << "a bare pulse is the default pulse train";
    EXPECT_EQ(pulse.b, defaults.b);
}

TEST(GeneratorSpecParsing, NoiseCanBeAddedToAnySignal)
{
    const GeneratorSpec spec = parsed("A=square:250:0.3+noise:0.02,B=sine+noise");
    EXPECT_DOUBLE_EQ(spec.a.noise, 0.02);
    EXPECT_DOUBLE_EQ(spec.a.frequency, 250.0);
    EXPECT_GT(spec.b.noise, 0.0);
    // A named channel is exactly what the text says: no noise unless asked for.
    EXPECT_EQ(parsed("A=sine:1000:0.5").a.noise, 0.0);
}

TEST(GeneratorSpecParsing, TextFormReadsBackToTheSameDescription)
{
    for (const char* text :
         {"A=sine:1234.5:0.125+noise:0.003,B=pulse:7:0.9:12", "A=noise:0.3,B=silence", "A=square:60:1,B=sine:0.25:0",
          "A=pink:-13dBFS,B=sweep:20000:20:0.37:-3dBFS+noise:0.001", "A=periodic:2048:0.05,B=pink"}) {
        const GeneratorSpec spec = parsed(text);
        const std::string again = "A=" + formatSignal(spec.a) + ",B=" + formatSignal(spec.b);
        EXPECT_EQ(parsed(again), spec) << text << " -> " << again;
    }
    EXPECT_EQ(
        parsed("A=" + formatSignal(GeneratorSpec::defaults().a) + ",B=" + formatSignal(GeneratorSpec::defaults().b)),
        GeneratorSpec::defaults());
}

TEST(GeneratorSpecParsing, MalformedTextIsRejectedNamingTheFault)
{
    EXPECT_NE(rejection("").find("пуст"), std::string::npos);
    EXPECT_NE(rejection("sine:1000").find("sine:1000"), std::string::npos);
    EXPECT_NE(rejection("C=sine").find("\"C\""), std::string::npos);
    EXPECT_NE(rejection("A=triangle:100").find("triangle"), std::string::npos);
    EXPECT_NE(rejection("A=").find("вид сигнала"), std::string::npos);
    EXPECT_NE(rejection("A=sine:abc").find("\"abc\""), std::string::npos);
    EXPECT_NE(rejection("A=sine:1000:0.5x").find("\"0.5x\""), std::string::npos);
    EXPECT_NE(rejection("A=sine:nan").find("не число"), std::string::npos);
    EXPECT_NE(rejection("A=sine:1000:").find("не число"), std::string::npos);
    EXPECT_NE(rejection("A=sine:0").find("частота"), std::string::npos);
    EXPECT_NE(rejection("A=sine:-5").find("частота"), std::string::npos);
    EXPECT_NE(rejection("A=sine:50001").find("частота"), std::string::npos);
    EXPECT_NE(rejection("A=sine:1000:1.5").find("амплитуда"), std::string::npos);
    EXPECT_NE(rejection("A=square:1000:-0.1").find("амплитуда"), std::string::npos);
    EXPECT_NE(rejection("A=noise:2").find("уровень шума"), std::string::npos);
    EXPECT_NE(rejection("A=sine:1000:0.5:3").find("слишком много"), std::string::npos);
    EXPECT_NE(rejection("B=silence:1").find("слишком много"), std::string::npos);
    EXPECT_NE(rejection("B=pulse:10:0.8:100").find("период"), std::string::npos);
    EXPECT_NE(rejection("B=pulse:10:0.8:0").find("ширина импульса"), std::string::npos);
    EXPECT_NE(rejection("A=sine+hum:0.1").find("+noise"), std::string::npos);
    EXPECT_NE(rejection("A=sine+noise:1.5").find("уровень шума"), std::string::npos);
    EXPECT_NE(rejection("A=sine,A=square").find("дважды"), std::string::npos);
    EXPECT_NE(rejection("A=sine,").find("пуст"), std::string::npos);
    EXPECT_NE(rejection("A=sine,,B=sine").find("пуст"), std::string::npos);
    for (const auto& [text, fault] : std::initializer_list<std::pair<const char*, const char*>>{
             {"A=sine:1000:0.1dBFS", "полной шкалы"},
             {"B=pink:xdBFS", "не число"},
             {"A=sine+noise:dBFS", "не число"},
             {"A=pink:1.5", "уровень шума"},
             {"A=pink:0.1:2", "слишком много"},
             {"A=sweep:20:20000", "слишком мало"},
             {"A=sweep", "sweep:F1:F2:SECONDS"},
             {"A=sweep:100:100:1", "совпадают"},
             {"A=sweep:0:100:1", "частота"},
             {"A=sweep:20:50001:1", "частота"},
             {"A=sweep:20:2000:0.005", "длительность"},
             {"A=sweep:20:2000:3601", "длительность"},
             {"A=sweep:20:2000:1:2", "амплитуда"},
             {"A=sweep:20:2000:1:0.5:1", "слишком много"},
             {"A=periodic", "слишком мало"},
             {"A=periodic:1024", "степенью двойки"},
             {"A=periodic:131072", "степенью двойки"},
             {"A=periodic:3000", "степенью двойки"},
             {"A=periodic:4096.5", "степенью двойки"},
             {"A=periodic:4096:-1", "уровень шума"},
         })
        EXPECT_NE(rejection(text).find(fault), std::string::npos) << text << ": " << rejection(text);
    // A fault in the second channel leaves the first untouched as well (checked in rejection()).
    rejection("A=square,B=bogus");
}

}  // namespace
