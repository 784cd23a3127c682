// The generator's signals rendered into sample buffers: per-channel state prepared up front, then
// an allocation-free loop per block.
#include "capture/SignalSource.h"

#include <random>

namespace mirel {

struct SignalSource::State {
    std::mt19937 random;
    std::normal_distribution<double> gauss{0.0, 1.0};

    explicit State(std::uint32_t seed) : random(seed) {}
};

SignalSource::SignalSource(const SignalSpec& spec, int sampleRate, std::uint32_t seed)
    : spec_(spec), rate_(sampleRate), state_(std::make_unique<State>(seed))
{
}

SignalSource::~SignalSource() = default;
SignalSource::SignalSource(SignalSource&&) noexcept = default;
SignalSource& SignalSource::operator=(SignalSource&&) noexcept = default;

void SignalSource::render(std::int64_t first, int count, double* out, int stride)
{
    State& s = *state_;
    for (int i = 0; i < count; ++i) {
        double v = signalValue(spec_, first + i, rate_);
        if (spec_.kind == SignalKind::Noise)
            v += spec_.amplitude * s.gauss(s.random);
        if (spec_.noise > 0.0)
            v += spec_.noise * s.gauss(s.random);
        out[static_cast<std::ptrdiff_t>(i) * stride] = v;
    }
}

StereoSource::StereoSource(const GeneratorSpec& spec, int sampleRate, std::uint32_t seed)
    : spec_(spec), a_(spec.a, sampleRate, seed), b_(spec.b, sampleRate, seed * 0x9E3779B9u + 0x7F4A7C15u)
{
}

void StereoSource::render(std::int64_t first, int count, double* interleaved)
{
    a_.render(first, count, interleaved, 2);
    b_.render(first, count, interleaved + 1, 2);
}

}  // namespace mirel
