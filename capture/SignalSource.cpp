// The generator's signals rendered into sample buffers: per-channel state (the pink noises' tables,
// the random source) prepared up front, then an allocation-free loop per block.
#include "capture/SignalSource.h"

#include <fftw3.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <mutex>
#include <new>
#include <numbers>
#include <random>

namespace mirel {

namespace {

// Pink noise is played from a table a little over five seconds long, repeated: a period that long
// is heard and measured as noise, and its lowest component (10 Hz) lies below the audible band.
constexpr double PinkSeconds = 5.0;
constexpr double PinkLowestFrequency = 10.0;

// FFTW's planner is not thread-safe. Sources are made on the thread that owns the window or the
// command (where the spectrum plans its transforms too); the lock keeps two sources made at once
// from planning together.
std::mutex plannerMutex;

int pinkPeriod(int sampleRate)
{
    const double wanted = PinkSeconds * std::max(sampleRate, 1);
    int period = 2;
    while (period < wanted)
        period *= 2;
    return period;
}

// One period of `length` frames (a power of two) of noise whose spectrum is 1/sqrt(k) in amplitude
// at bins firstBin .. length/2 - 1 and zero elsewhere, with random phases drawn from `seed`,
// scaled to the RMS `rms` over the period. Its power falls as 1/f: exactly 3 dB per octave, and as
// every component is a whole number of cycles per period, a transform of one period sees no
// leakage. A random-phase multisine like this is as cheap to play as any table.
std::vector<double> pinkTable(int length, int firstBin, double rms, std::uint32_t seed)
{
    const int bins = length / 2 + 1;
    std::vector<double> table(static_cast<size_t>(length));
    fftw_complex* spectrum = fftw_alloc_complex(static_cast<size_t>(bins));
    if (!spectrum)
        throw std::bad_alloc();
    fftw_plan plan = nullptr;
    {
        std::lock_guard lock(plannerMutex);
        plan = fftw_plan_dft_c2r_1d(length, spectrum, table.data(), FFTW_ESTIMATE | FFTW_DESTROY_INPUT);
    }
    if (!plan) {
        fftw_free(spectrum);
        throw std::bad_alloc();
    }

    // The phases come straight from the generator's 32-bit words, which the standard fixes, so a
    // seed gives the same noise everywhere.
    std::mt19937 random(seed);
    constexpr double radiansPerStep = 2.0 * std::numbers::pi / 4294967296.0;
    for (int k = 0; k < bins; ++k) {
        if (k < std::max(firstBin, 1) || k >= length / 2) {
            spectrum[k][0] = spectrum[k][1] = 0.0;
            continue;
        }
        const double phase = static_cast<double>(random()) * radiansPerStep;
        const double magnitude = 1.0 / std::sqrt(static_cast<double>(k));
        spectrum[k][0] = magnitude * std::cos(phase);
        spectrum[k][1] = magnitude * std::sin(phase);
    }
    fftw_execute(plan);
    {
        std::lock_guard lock(plannerMutex);
        fftw_destroy_plan(plan);
    }
    fftw_free(spectrum);

    double sumSquares = 0.0;
    for (const double v : table)
        sumSquares += v * v;
    const double scale = sumSquares > 0.0 ? rms / std::sqrt(sumSquares / length) : 0.0;
    for (double& v : table)
        v *= scale;
    return table;
}

}  // namespace

struct SignalSource::State {
    std::mt19937 random;
    std::normal_distribution<double> gauss{0.0, 1.0};
    std::vector<double> table;  // one period of the pink noises
    std::int64_t tableMask = 0;

    explicit State(std::uint32_t seed) : random(seed ^ 0x5BD1E995u) {}
};

SignalSource::SignalSource(const SignalSpec& spec, int sampleRate, std::uint32_t seed)
    : spec_(spec), rate_(sampleRate), state_(std::make_unique<State>(seed))
{
    if (spec.kind == SignalKind::Periodic && spec.periodFrames >= 2 &&
        std::has_single_bit(static_cast<unsigned>(spec.periodFrames))) {
        state_->table = pinkTable(spec.periodFrames, 1, spec.amplitude, seed);
    } else if (spec.kind == SignalKind::Pink && sampleRate > 0) {
        const int period = pinkPeriod(sampleRate);
        const int firstBin = static_cast<int>(std::ceil(PinkLowestFrequency * period / sampleRate));
        state_->table = pinkTable(period, firstBin, spec.amplitude, seed);
    }
    state_->tableMask = static_cast<std::int64_t>(state_->table.size()) - 1;
}

SignalSource::~SignalSource() = default;
SignalSource::SignalSource(SignalSource&&) noexcept = default;
SignalSource& SignalSource::operator=(SignalSource&&) noexcept = default;

void SignalSource::render(std::int64_t first, int count, double* out, int stride)
{
    State& s = *state_;
    const std::ptrdiff_t step = stride;
    switch (spec_.kind) {
    case SignalKind::Pink:
    case SignalKind::Periodic:
        if (!s.table.empty()) {
            // A power-of-two period: the mask wraps negative frames too.
            std::int64_t at = first & s.tableMask;
            for (int i = 0; i < count; ++i, at = (at + 1) & s.tableMask)
                out[i * step] = s.table[static_cast<size_t>(at)];
            break;
        }
        [[fallthrough]];
    case SignalKind::Silence:
        for (int i = 0; i < count; ++i)
            out[i * step] = 0.0;
        break;
    case SignalKind::Noise:
        for (int i = 0; i < count; ++i)
            out[i * step] = spec_.amplitude * s.gauss(s.random);
        break;
    case SignalKind::Sine:
    case SignalKind::Square:
    case SignalKind::Pulse:
    case SignalKind::Sweep:
        for (int i = 0; i < count; ++i)
            out[i * step] = signalValue(spec_, first + i, rate_);
        break;
    }
    if (spec_.noise > 0.0)
        for (int i = 0; i < count; ++i)
            out[i * step] += spec_.noise * s.gauss(s.random);
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
