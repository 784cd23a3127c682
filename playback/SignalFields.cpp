#include "playback/SignalFields.h"

#include "common/QuotedText.h"

#include <charconv>
#include <cmath>

namespace mirel {

const std::array<KindCaption, 8>& signalKinds()
{
    static constexpr std::array<KindCaption, 8> kinds{{
        {SignalKind::Sine, "Синус"},
        {SignalKind::Square, "Меандр"},
        {SignalKind::Pulse, "Импульсы"},
        {SignalKind::Noise, "Шум"},
        {SignalKind::Pink, "Розовый шум"},
        {SignalKind::Sweep, "Качание частоты"},
        {SignalKind::Periodic, "Периодический розовый шум"},
        {SignalKind::Silence, "Тишина"},
    }};
    return kinds;
}

bool rmsLevel(SignalKind kind)
{
    return kind == SignalKind::Noise || kind == SignalKind::Pink || kind == SignalKind::Periodic;
}

bool takesFrequency(SignalKind kind)
{
    return kind == SignalKind::Sine || kind == SignalKind::Square || kind == SignalKind::Pulse ||
           kind == SignalKind::Sweep;
}

// A tone keeps the frequency of a tone before it, and a level in the same sense (peak or RMS)
// stays.
SignalSpec startingSignal(SignalKind kind, const SignalSpec& before)
{
    SignalSpec s = signalDefaults(kind);
    s.noise = before.noise;
    if (kind == SignalKind::Silence)
        return s;
    if ((kind == SignalKind::Sine || kind == SignalKind::Square) &&
        (before.kind == SignalKind::Sine || before.kind == SignalKind::Square))
        s.frequency = before.frequency;
    if (before.kind != SignalKind::Silence && rmsLevel(before.kind) == rmsLevel(kind))
        s.amplitude = before.amplitude;
    return s;
}

QString numberText(double value)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6).ptr;
    return QString::fromLatin1(text, static_cast<int>(end - text)).replace('.', ',');
}

bool parseNumber(const QString& typed, double& value)
{
    const std::string text = typed.trimmed().replace(',', '.').replace(QChar(0x2212), '-').toStdString();
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return !text.empty() && result.ec == std::errc() && result.ptr == end && std::isfinite(value);
}

QString levelText(double volts, LevelUnit unit)
{
    if (unit == LevelUnit::Volts)
        return numberText(volts);
    if (volts <= 0.0)
        return QStringLiteral("-∞");
    return numberText(std::round(2000.0 * std::log10(volts)) / 100.0);
}

// Checked as its command-line text; the reason without that text, which the parser quotes.
bool acceptable(const SignalSpec& signal, QString& why)
{
    const std::string text = "A=" + formatSignal(signal);
    GeneratorSpec probe;
    std::string error;
    if (parseGeneratorSpec(text, probe, error))
        return true;
    const std::string prefix = "в " + Quoted(text) + ": ";
    if (error.starts_with(prefix))
        error.erase(0, prefix.size());
    why = QString::fromStdString(error);
    if (!why.isEmpty())
        why[0] = why[0].toUpper();
    return false;
}

}  // namespace mirel
