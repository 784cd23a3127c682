// The text form of the generator's signals: reading `--generator` descriptions, with messages
// that name the fault, and writing a signal back in the form the reader accepts.
#include "capture/SignalSpec.h"

#include "common/QuotedText.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <vector>

namespace mirel {

namespace {

constexpr double DefaultPulseWidth = 0.001;  // s

// What each number after a signal's name means.
enum class Field { Frequency, Frequency2, Level, Width, Duration, Period };

struct KindInfo {
    const char* name;
    SignalKind kind;
    int minValues;  // numbers after the name that must be given
    std::array<Field, 4> fields;
    int maxValues;       // numbers after the name
    const char* syntax;  // for messages
};

using F = Field;
constexpr std::array<KindInfo, 8> kinds{{
    {"sine", SignalKind::Sine, 0, {F::Frequency, F::Level}, 2, "sine[:FREQ[:AMPL]]"},
    {"square", SignalKind::Square, 0, {F::Frequency, F::Level}, 2, "square[:FREQ[:AMPL]]"},
    {"pulse", SignalKind::Pulse, 0, {F::Frequency, F::Level, F::Width}, 3, "pulse[:FREQ[:AMPL[:WIDTH_MS]]]"},
    {"noise", SignalKind::Noise, 0, {F::Level}, 1, "noise[:RMS]"},
    {"silence", SignalKind::Silence, 0, {}, 0, "silence"},
    {"pink", SignalKind::Pink, 0, {F::Level}, 1, "pink[:RMS]"},
    {"sweep",
     SignalKind::Sweep,
     3,
     {F::Frequency, F::Frequency2, F::Duration, F::Level},
     4,
     "sweep:F1:F2:SECONDS[:AMPL]"},
    {"periodic", SignalKind::Periodic, 1, {F::Period, F::Level}, 2, "periodic:N[:RMS]"},
}};

constexpr const char* KindList = "sine, square, pulse, noise, pink, sweep, periodic или silence";

constexpr double MinSweepSeconds = 0.01;
constexpr double MaxSweepSeconds = 3600.0;
constexpr int MinPeriodFrames = 2048;
constexpr int MaxPeriodFrames = 65536;

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

std::string lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::vector<std::string_view> split(std::string_view s, char separator)
{
    std::vector<std::string_view> parts;
    for (;;) {
        const size_t at = s.find(separator);
        parts.push_back(s.substr(0, at));
        if (at == std::string_view::npos)
            return parts;
        s.remove_prefix(at + 1);
    }
}

std::string number(double value)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

// The '+' that starts a suffix; the sign of an exponent ("1e+3") is part of its number.
size_t suffixPlus(std::string_view text)
{
    for (size_t at = text.find('+'); at != std::string_view::npos; at = text.find('+', at + 1)) {
        const bool exponentSign = at > 0 && (text[at - 1] == 'e' || text[at - 1] == 'E') && at + 1 < text.size() &&
                                  text[at + 1] >= '0' && text[at + 1] <= '9';
        if (!exponentSign)
            return at;
    }
    return std::string_view::npos;
}

// Parses one channel's description (what follows "A="); `where` names it in messages.
bool parseSignal(std::string_view text, const std::string& where, SignalSpec& out, std::string& error)
{
    // The optional "+noise:RMS" suffix.
    std::string_view body = text;
    std::string_view noiseText;
    bool withNoise = false;
    if (const size_t plus = suffixPlus(text); plus != std::string_view::npos) {
        const std::string_view suffix = trim(text.substr(plus + 1));
        if (lower(suffix.substr(0, 5)) != "noise") {
            error = "в " + where + ": после сигнала может идти только \"+noise:RMS\", а не " +
                    Quoted(std::string("+").append(suffix));
            return false;
        }
        std::string_view rest = trim(suffix.substr(5));
        if (!rest.empty()) {
            if (rest.front() != ':') {
                error = "в " + where + ": ожидается \"+noise:RMS\"";
                return false;
            }
            rest.remove_prefix(1);
            noiseText = trim(rest);
            if (noiseText.empty()) {
                error = "в " + where + ": после \"+noise:\" не указан уровень шума";
                return false;
            }
        }
        body = text.substr(0, plus);
        withNoise = true;
    }

    const std::vector<std::string_view> fields = split(body, ':');
    const std::string name = lower(trim(fields[0]));
    if (name.empty()) {
        error = "в " + where + ": не указан вид сигнала (" + KindList + ")";
        return false;
    }
    const auto info = std::find_if(kinds.begin(), kinds.end(), [&](const KindInfo& k) { return name == k.name; });
    if (info == kinds.end()) {
        error = "в " + where + ": неизвестный вид сигнала " + Quoted(trim(fields[0])) + " (допустимы " + KindList + ")";
        return false;
    }
    const int valueCount = static_cast<int>(fields.size()) - 1;
    if (valueCount > info->maxValues) {
        error = "в " + where + ": слишком много значений для " + info->name + " (ожидается " + info->syntax + ")";
        return false;
    }
    if (valueCount < info->minValues) {
        error = "в " + where + ": слишком мало значений для " + info->name + " (ожидается " + info->syntax + ")";
        return false;
    }

    auto parseNumber = [&](std::string_view field, const char* what, double& value) {
        const std::string_view t = trim(field);
        const char* end = t.data() + t.size();
        const auto result = std::from_chars(t.data(), end, value);
        if (t.empty() || result.ec != std::errc() || result.ptr != end || !std::isfinite(value)) {
            error = "в " + where + ": " + what + " " + Quoted(t) + " — не число";
            return false;
        }
        return true;
    };
    // A level in volts (0..1) or in dB below full scale ("-20dBFS", at most 0 dBFS); the result is
    // in volts either way, 1 V being full scale.
    auto parseLevel = [&](std::string_view field, const char* what, double& volts) {
        std::string_view t = trim(field);
        if (t.size() >= 4 && lower(t.substr(t.size() - 4)) == "dbfs") {
            double db = 0.0;
            if (!parseNumber(t.substr(0, t.size() - 4), what, db))
                return false;
            if (db > 0.0) {
                error = "в " + where + ": " + what + " " + number(db) +
                        " dBFS выше полной шкалы (допустимо не более 0 dBFS)";
                return false;
            }
            volts = std::pow(10.0, db / 20.0);
            return true;
        }
        if (!parseNumber(t, what, volts))
            return false;
        if (volts < 0.0 || volts > 1.0) {
            error = "в " + where + ": " + what + " " + number(volts) + " В вне допустимых пределов (от 0 до 1 В)";
            return false;
        }
        return true;
    };
    auto parseFrequency = [&](std::string_view field, double& hz) {
        if (!parseNumber(field, "частота", hz))
            return false;
        if (hz <= 0.0 || hz > MaxSignalFrequency) {
            error =
                "в " + where + ": частота " + number(hz) + " Гц вне допустимых пределов (больше 0, не более 50000 Гц)";
            return false;
        }
        return true;
    };

    SignalSpec signal = signalDefaults(info->kind);
    const bool noiseLevel =
        info->kind == SignalKind::Noise || info->kind == SignalKind::Pink || info->kind == SignalKind::Periodic;
    for (int i = 0; i < valueCount; ++i) {
        const std::string_view field = fields[static_cast<size_t>(i) + 1];
        switch (info->fields[static_cast<size_t>(i)]) {
        case Field::Frequency:
            if (!parseFrequency(field, signal.frequency))
                return false;
            break;
        case Field::Frequency2:
            if (!parseFrequency(field, signal.frequency2))
                return false;
            break;
        case Field::Level:
            if (!parseLevel(field, noiseLevel ? "уровень шума" : "амплитуда", signal.amplitude))
                return false;
            break;
        case Field::Width: {
            double widthMs = 0.0;
            if (!parseNumber(field, "ширина импульса", widthMs))
                return false;
            signal.pulseWidth = widthMs / 1000.0;
            break;
        }
        case Field::Duration:
            if (!parseNumber(field, "длительность", signal.duration))
                return false;
            if (signal.duration < MinSweepSeconds || signal.duration > MaxSweepSeconds) {
                error = "в " + where + ": длительность " + number(signal.duration) +
                        " с вне допустимых пределов (от 0.01 до 3600 с)";
                return false;
            }
            break;
        case Field::Period: {
            double frames = 0.0;
            if (!parseNumber(field, "период", frames))
                return false;
            const bool powerOfTwo = frames >= MinPeriodFrames && frames <= MaxPeriodFrames &&
                                    frames == std::floor(frames) && std::has_single_bit(static_cast<unsigned>(frames));
            if (!powerOfTwo) {
                error = "в " + where + ": период " + number(frames) +
                        " отсчетов должен быть степенью двойки от 2048 до 65536";
                return false;
            }
            signal.periodFrames = static_cast<int>(frames);
            break;
        }
        }
    }
    if (signal.kind == SignalKind::Pulse && (signal.pulseWidth <= 0.0 || signal.pulseWidth * signal.frequency >= 1.0)) {
        error = "в " + where + ": ширина импульса " + number(signal.pulseWidth * 1000.0) +
                " мс должна быть больше 0 и меньше периода импульсов (" + number(1000.0 / signal.frequency) + " мс)";
        return false;
    }
    if (signal.kind == SignalKind::Sweep && signal.frequency == signal.frequency2) {
        error = "в " + where + ": начальная и конечная частоты качания совпадают (" + number(signal.frequency) + " Гц)";
        return false;
    }

    if (withNoise) {
        signal.noise = signalDefaults(SignalKind::Noise).amplitude;
        if (!noiseText.empty() && !parseLevel(noiseText, "уровень шума", signal.noise))
            return false;
    }
    out = signal;
    return true;
}

}  // namespace

GeneratorSpec GeneratorSpec::defaults()
{
    GeneratorSpec spec;
    spec.a = signalDefaults(SignalKind::Sine);
    spec.a.noise = 0.005;
    spec.b = signalDefaults(SignalKind::Pulse);
    return spec;
}

SignalSpec signalDefaults(SignalKind kind)
{
    SignalSpec s;
    s.kind = kind;
    switch (kind) {
    case SignalKind::Sine:
    case SignalKind::Square:
        s.frequency = 1000.0;
        s.amplitude = 0.5;
        break;
    case SignalKind::Pulse:
        s.frequency = 10.0;
        s.amplitude = 0.8;
        s.pulseWidth = DefaultPulseWidth;
        break;
    case SignalKind::Sweep:
        s.frequency = 20.0;
        s.frequency2 = 20000.0;
        s.duration = 10.0;
        s.amplitude = 0.5;
        break;
    case SignalKind::Periodic: s.periodFrames = DefaultPeriodFrames; [[fallthrough]];
    case SignalKind::Noise:
    case SignalKind::Pink: s.amplitude = 0.1; break;
    case SignalKind::Silence: break;
    }
    return s;
}

bool parseGeneratorSpec(std::string_view text, GeneratorSpec& spec, std::string& error)
{
    GeneratorSpec result = spec;
    bool seen[2] = {false, false};
    if (trim(text).empty()) {
        error = "описание генератора пусто (пример: A=sine:1000:0.5,B=pulse:10:0.8)";
        return false;
    }
    for (const std::string_view rawItem : split(text, ',')) {
        const std::string_view item = trim(rawItem);
        if (item.empty()) {
            error = "в описании генератора " + Quoted(text) + " пустой канал (лишняя запятая?)";
            return false;
        }
        const size_t equals = item.find('=');
        if (equals == std::string_view::npos) {
            error = Quoted(item) + " не называет канал (ожидается A=SIGNAL или B=SIGNAL)";
            return false;
        }
        const std::string channel = lower(trim(item.substr(0, equals)));
        if (channel != "a" && channel != "b") {
            error = "неизвестный канал " + Quoted(trim(item.substr(0, equals))) + " (допустимы A и B)";
            return false;
        }
        const int index = channel == "a" ? 0 : 1;
        const std::string where = Quoted(item);
        if (seen[index]) {
            error = "канал " + std::string(index == 0 ? "A" : "B") + " указан дважды";
            return false;
        }
        seen[index] = true;
        if (!parseSignal(item.substr(equals + 1), where, index == 0 ? result.a : result.b, error))
            return false;
    }
    spec = result;
    return true;
}

std::string formatSignal(const SignalSpec& signal)
{
    std::string text;
    switch (signal.kind) {
    case SignalKind::Sine: text = "sine:" + number(signal.frequency) + ":" + number(signal.amplitude); break;
    case SignalKind::Square: text = "square:" + number(signal.frequency) + ":" + number(signal.amplitude); break;
    case SignalKind::Pulse:
        text = "pulse:" + number(signal.frequency) + ":" + number(signal.amplitude) + ":" +
               number(signal.pulseWidth * 1000.0);
        break;
    case SignalKind::Noise: text = "noise:" + number(signal.amplitude); break;
    case SignalKind::Pink: text = "pink:" + number(signal.amplitude); break;
    case SignalKind::Sweep:
        text = "sweep:" + number(signal.frequency) + ":" + number(signal.frequency2) + ":" + number(signal.duration) +
               ":" + number(signal.amplitude);
        break;
    case SignalKind::Periodic:
        text = "periodic:" + std::to_string(signal.periodFrames) + ":" + number(signal.amplitude);
        break;
    case SignalKind::Silence: text = "silence"; break;
    }
    if (signal.noise > 0.0)
        text += "+noise:" + number(signal.noise);
    return text;
}

}  // namespace mirel
