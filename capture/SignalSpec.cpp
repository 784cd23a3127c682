// The generator's signals as values: a signal's noiseless part at a frame, and volts as samples.
#include "capture/SignalSpec.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mirel {

double signalValue(const SignalSpec& signal, std::int64_t frame, int sampleRate)
{
    if (sampleRate <= 0)
        return 0.0;
    const double rate = sampleRate;
    // Position within the period, in units of 1/rate periods: exact for whole frequencies, so the
    // phase does not wander however long the stream runs.
    auto position = [&] {
        double p = std::fmod(signal.frequency * static_cast<double>(frame), rate);
        p = std::fmod((p < 0.0 ? p + rate : p) + signal.frequency * PhaseLeadFrames, rate);
        return p;
    };
    switch (signal.kind) {
    case SignalKind::Sine: return signal.amplitude * std::sin(2.0 * std::numbers::pi * position() / rate);
    case SignalKind::Square: return position() < rate / 2.0 ? signal.amplitude : -signal.amplitude;
    case SignalKind::Pulse: {
        // High from the start of the period for `pulseWidth` seconds; a frame that falls exactly on
        // the end of the pulse is already low.
        const double end = signal.pulseWidth * signal.frequency * rate;
        return position() < end - 1e-6 ? signal.amplitude : 0.0;
    }
    case SignalKind::Sweep: {
        // Logarithmic: the frequency F1·r^(t/T), r = F2/F1, has the phase
        // 2π·F1·T/ln r·(r^(t/T) − 1) from the start of each sweep; only a restart jumps.
        const std::int64_t frames = sweepFrames(signal, sampleRate);
        if (frames <= 0 || signal.frequency <= 0.0 || signal.frequency2 <= 0.0)
            return 0.0;
        std::int64_t within = frame % frames;
        if (within < 0)
            within += frames;
        const double t = (static_cast<double>(within) + PhaseLeadFrames) / rate;
        const double logRatio = std::log(signal.frequency2 / signal.frequency);
        // Without a span (which the text form refuses, a caller's own description may not) the
        // sweep is a steady sine, the limit of the above.
        const double cycles = logRatio == 0.0 ? signal.frequency * t
                                              : signal.frequency * signal.duration / logRatio *
                                                    std::expm1(t / signal.duration * logRatio);
        const double phase = 2.0 * std::numbers::pi * cycles;
        return signal.amplitude * std::sin(phase);
    }
    case SignalKind::Noise:
    case SignalKind::Silence:
    case SignalKind::Pink:
    case SignalKind::Periodic: break;
    }
    return 0.0;
}

std::int64_t sweepFrames(const SignalSpec& signal, int sampleRate)
{
    if (signal.kind != SignalKind::Sweep || sampleRate <= 0 || !(signal.duration > 0.0))
        return 0;
    return std::max<std::int64_t>(1, std::llround(signal.duration * sampleRate));
}

std::int16_t voltsToSample16(double volts)
{
    if (std::isnan(volts))
        return 0;
    const double scaled = std::clamp(std::round(volts * 32768.0), -32768.0, 32767.0);
    return static_cast<std::int16_t>(scaled);
}

std::uint8_t voltsToSample8(double volts)
{
    if (std::isnan(volts))
        return 128;
    const double scaled = std::clamp(std::round(128.0 + volts * 128.0), 0.0, 255.0);
    return static_cast<std::uint8_t>(scaled);
}

}  // namespace mirel
