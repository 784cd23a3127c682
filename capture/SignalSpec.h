#pragma once
// The signals of the built-in test-signal generator: what each channel plays, the text form used on
// the command line (`--generator A=sine:1000:0.5,B=pulse:10:0.8`) and the value of a signal at a
// given frame. Volts are relative to full scale: 1 V is the largest sample the input delivers.
//
// Grammar of the text form (spaces around the separators are allowed, names are case-insensitive):
//
//   SPEC    := CHANNEL { "," CHANNEL }
//   CHANNEL := ("A" | "B") "=" SIGNAL [ "+noise:" RMS ]
//   SIGNAL  := "sine"   [ ":" FREQ [ ":" AMPL ] ]             peak AMPL, default 1000 Hz, 0.5 V
//            | "square" [ ":" FREQ [ ":" AMPL ] ]             +AMPL / -AMPL, half period each,
//                                                             default 1000 Hz, 0.5 V
//            | "pulse"  [ ":" FREQ [ ":" AMPL [ ":" WIDTH ] ] ]
//                                                             FREQ pulses per second from 0 up to
//                                                             AMPL, WIDTH in ms; default 10 Hz,
//                                                             0.8 V, 1 ms
//            | "noise"  [ ":" RMS ]                           Gaussian white noise, default 0.1 V
//            | "pink"   [ ":" RMS ]                           pink noise (-3 dB per octave),
//                                                             default 0.1 V
//            | "sweep" ":" FREQ ":" FREQ ":" SECONDS [ ":" AMPL ]
//                                                             logarithmic sine sweep from the first
//                                                             FREQ to the second (either way) in
//                                                             SECONDS, repeated; default 0.5 V
//            | "periodic" ":" N [ ":" RMS ]                   pink noise repeating every N frames,
//                                                             default 0.1 V
//            | "silence"
//   AMPL, RMS := VOLTS | DB "dBFS"
//
// FREQ is in Hz, 0 < FREQ <= 50000 (a sweep's two differ); SECONDS from 0.01 to 3600; N a power of
// two from 2048 to 65536. AMPL and RMS are in volts, 0..1, or in dB below full scale: X dBFS is
// 10^(X/20) V of the same measure (peak for AMPL, RMS for RMS), at most 0 dBFS; "dBFS" is
// case-insensitive. WIDTH is in milliseconds, greater than 0 and shorter than the pulse period.
// Numbers use a decimal point. A channel that the text does not name keeps its default:
// A = sine:1000:0.5+noise:0.005, B = pulse:10:0.8:1. The text form written back gives levels in
// volts.

#include <cstdint>
#include <string>
#include <string_view>

namespace mirel {

enum class SignalKind { Sine, Square, Pulse, Noise, Silence, Pink, Sweep, Periodic };

struct SignalSpec {
    SignalKind kind = SignalKind::Silence;
    double frequency = 0.0;   // Hz; pulses per second for a pulse train
    double amplitude = 0.0;   // V: peak of sine, square and sweep, height of a pulse, RMS of the noises
    double pulseWidth = 0.0;  // s, pulse trains only
    double noise = 0.0;       // V RMS of Gaussian noise added to the signal
    double frequency2 = 0.0;  // Hz, where a sweep ends (it starts at `frequency`)
    double duration = 0.0;    // s, the length of one sweep
    int periodFrames = 0;     // frames, the period of periodic pink noise

    bool operator==(const SignalSpec&) const = default;
};

struct GeneratorSpec {
    SignalSpec a;
    SignalSpec b;

    // Channel A: 1 kHz sine of 0.5 V with 5 mV of noise; channel B: 10 pulses per second of 0.8 V,
    // 1 ms wide.
    static GeneratorSpec defaults();

    bool operator==(const GeneratorSpec&) const = default;
};

inline constexpr double MaxSignalFrequency = 50000.0;

// The period of periodic pink noise where none is chosen, in frames.
inline constexpr int DefaultPeriodFrames = 16384;

// A signal of `kind` with the values that its text form leaves out take (1000 Hz 0.5 V tones,
// 10 pulses per second of 0.8 V 1 ms wide, 0.1 V RMS noises); the values the text form requires
// (a sweep's 20 Hz to 20 kHz in 10 s, a period of DefaultPeriodFrames) are what a new one starts from.
SignalSpec signalDefaults(SignalKind kind);

// Parses the text form into `spec`, starting from its current contents (so channels the text does
// not name keep them). On a malformed text returns false, leaves `spec` unchanged and puts a
// sentence naming the fault into `error`.
bool parseGeneratorSpec(std::string_view text, GeneratorSpec& spec, std::string& error);

// The text form of one channel's signal, as the parser accepts it.
std::string formatSignal(const SignalSpec& signal);

// How far the periodic signals are into their period at frame 0, in frames. A real generator's
// phase is arbitrary against the sampling clock; at phase 0 a sine whose period is a whole number
// of frames would put a sample exactly on every zero crossing, where the oscilloscope's trigger
// finds no crossing. 7/16 of a frame puts no sample on zero for any period of a whole, half or
// quarter number of frames, keeps the samples either side of a crossing nearly equally far from
// it, and is exact in binary, so the phase stays exact over hours. The edges of square waves and
// pulses with such periods stay on the same frames as at phase 0.
inline constexpr double PhaseLeadFrames = 0.4375;

// The noiseless part of `signal` at frame `frame` of a stream running at `sampleRate` frames per
// second, in volts; a period (and each sweep) starts PhaseLeadFrames before frame 0. Noise (kind
// Noise, or `noise`) is added by the caller, which owns the random source; the pink noises come
// from the tables of a SignalSource and are 0 here.
double signalValue(const SignalSpec& signal, std::int64_t frame, int sampleRate);

// Frames in one sweep of a sweep signal at `sampleRate` (its duration, rounded to whole frames);
// 0 for the other kinds.
std::int64_t sweepFrames(const SignalSpec& signal, int sampleRate);

// Volts to samples: 1 V is full scale; values beyond full scale are clipped; NaN is silence.
std::int16_t voltsToSample16(double volts);
std::uint8_t voltsToSample8(double volts);  // silence at 128

}  // namespace mirel
