#pragma once
// What the fields of the dialog «Генератор» mean: the kinds it offers, what each takes, the signal
// a newly chosen kind starts from, numbers as shown and typed (decimal comma or point), levels in
// volts or dBFS, and the command line's own rules for a whole signal.

#include "capture/SignalSpec.h"

#include <QString>
#include <array>

namespace mirel {

enum class LevelUnit { Volts, DBFS };

struct KindCaption {
    SignalKind kind;
    const char* caption;
};

// The kinds in the order the dialog lists them, with their Russian names.
const std::array<KindCaption, 8>& signalKinds();

inline constexpr int DefaultPeriod = DefaultPeriodFrames;  // frames of periodic pink noise until chosen

// The level of noises is an RMS value, that of the other kinds a peak.
bool rmsLevel(SignalKind kind);
// Sine, square, pulses and sweep take a (start) frequency.
bool takesFrequency(SignalKind kind);

// What a kind starts from when it is chosen after `before`.
SignalSpec startingSignal(SignalKind kind, const SignalSpec& before);

// Up to six significant digits with a decimal comma.
QString numberText(double value);
// A number typed with a decimal point or comma (or a typographic minus); false for anything else.
bool parseNumber(const QString& typed, double& value);
// A level in volts as the field shows it: volts, or dBFS to 0.01 dB ("-∞" for 0 V).
QString levelText(double volts, LevelUnit unit);

// Whether the command line would take `signal`; if not, the reason as a sentence of its own.
bool acceptable(const SignalSpec& signal, QString& why);

}  // namespace mirel
