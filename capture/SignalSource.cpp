// The generator's signals rendered into sample buffers: per-channel state (the pink noises' tables,
// the random source) prepared up front, then an allocation-free loop per block.
#include "capture/SignalSource.h"

#include <fftw3.h>
#if __has_include(<sys/mman.h>)
#include <sys/mman.h>
#endif

#include <algorithm>
#include <bit>
#include <cmath>
#include <complex>
#include <cstdint>
#include <mutex>
#include <new>
#include <numbers>
#include <random>
#include <utility>

namespace mirel {

namespace {

// Pink noise is played from a table a little over five seconds long, repeated: a period that long
// is heard and measured as noise, and its lowest component (10 Hz) lies below the audible band.
constexpr double PinkSeconds = 5.0;
constexpr double PinkLowestFrequency = 10.0;

int pinkPeriod(int sampleRate)
{
    const double wanted = PinkSeconds * std::max(sampleRate, 1);
    int period = 2;
    while (period < wanted)
        period *= 2;
    return period;
}

// One period of a pink noise. Tables of megabytes lie on huge pages where the system offers them:
// the first touch of a few huge pages costs far less than that of a thousand small ones, and it
// falls within the start of the output.
class Table {
public:
    Table() = default;
    explicit Table(size_t frames)
    {
        constexpr size_t HugePage = size_t{2} << 20;
        const size_t bytes = frames * sizeof(double);
        const bool huge = bytes >= HugePage;
        raw_ = fftw_alloc_real(frames + (huge ? HugePage / sizeof(double) : 0));
        if (!raw_)
            throw std::bad_alloc();
        data_ = raw_;
        if (huge) {
            const auto at = (reinterpret_cast<std::uintptr_t>(raw_) + HugePage - 1) & ~(HugePage - 1);
            data_ = reinterpret_cast<double*>(at);
#ifdef MADV_HUGEPAGE
            madvise(data_, bytes & ~(HugePage - 1), MADV_HUGEPAGE);  // only advice: no harm if refused
#endif
        }
    }
    ~Table()
    {
        fftw_free(raw_);
    }
    Table(Table&& other) noexcept : raw_(std::exchange(other.raw_, nullptr)), data_(std::exchange(other.data_, nullptr))
    {
    }
    Table& operator=(Table&& other) noexcept
    {
        std::swap(raw_, other.raw_);
        std::swap(data_, other.data_);
        return *this;
    }

    double* get() const
    {
        return data_;
    }
    explicit operator bool() const
    {
        return data_ != nullptr;
    }
    double operator[](std::int64_t i) const
    {
        return data_[i];
    }

private:
    double* raw_ = nullptr;
    double* data_ = nullptr;
};

// The complex inverse transform (in place) of the last length asked for, kept: making a plan costs
// more than the transform itself (its twiddle factors), and both channels and every change of
// level ask for the same length. FFTW's planner is not thread-safe: plans are made only here,
// under the lock, and sources are made on the thread that owns the window or the command, where
// the spectrum plans its transforms too. Arrays from fftw_alloc share the alignment the plan was
// made for.
std::mutex planMutex;
fftw_plan cachedPlan = nullptr;
int cachedLength = 0;

void inverseTransformInPlace(int length, fftw_complex* data)
{
    std::lock_guard lock(planMutex);
    if (cachedLength != length) {
        if (cachedPlan)
            fftw_destroy_plan(cachedPlan);
        cachedLength = 0;
        cachedPlan = fftw_plan_dft_1d(length, data, data, FFTW_BACKWARD, FFTW_ESTIMATE | FFTW_DESTROY_INPUT);
        if (!cachedPlan)
            throw std::bad_alloc();
        cachedLength = length;
    }
    fftw_execute_dft(cachedPlan, data, data);
}

// The real signal x of even length N = 2M whose spectrum holds bins[k] at k = 0 .. M - 1 (and
// their mirror images; the Nyquist bin is empty), the unnormalised inverse transform, made in
// place: `bins` becomes x[0], x[1], ... x[N - 1]. A complex transform of half the length gives
// the even frames as its real parts and the odd ones as its imaginary parts, from
// Z_k = X_k + X*_{M-k} + i W^k (X_k - X*_{M-k}), W = e^{2πi/N}; its plan costs a fraction of a
// real transform's.
void realFromSpectrumInPlace(int halfLength, std::complex<double>* bins)
{
    using Complex = std::complex<double>;
    const int m = halfLength;
    const Complex i(0.0, 1.0);
    // The twiddles W^k step by step, set afresh from a sine and cosine every 64 steps.
    const double radiansPerStep = std::numbers::pi / m;
    const Complex step = std::polar(1.0, radiansPerStep);
    Complex w;
    bins[0] = 0.0;  // X_0 + X*_M + i (X_0 - X*_M) with both empty
    for (int k = 1; k <= m / 2; ++k) {
        w = (k - 1) % 64 == 0 ? std::polar(1.0, radiansPerStep * k) : w * step;
        const Complex a = bins[k];
        const Complex b = bins[m - k];
        bins[k] = a + std::conj(b) + i * w * (a - std::conj(b));
        // W^{M-k} = -conj(W^k)
        bins[m - k] = b + std::conj(a) - i * std::conj(w) * (b - std::conj(a));
    }
    inverseTransformInPlace(m, reinterpret_cast<fftw_complex*>(bins));
}

// SplitMix64: a small generator fixed here, so that a seed gives the same noise everywhere.
class Random64 {
public:
    explicit Random64(std::uint64_t seed) : state_(seed) {}
    std::uint64_t operator()()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }

private:
    std::uint64_t state_;
};

// One period of `length` frames (a power of two) of noise whose spectrum is 1/sqrt(k) in amplitude
// at bins firstBin .. length/2 - 1 and zero elsewhere, with random phases drawn from `seed`,
// scaled to the RMS `rms` over the period. Its power falls as 1/f: exactly 3 dB per octave, and as
// every component is a whole number of cycles per period, a transform of one period sees no
// leakage. A random-phase multisine like this is as cheap to play as any table.
Table pinkTable(int length, int firstBin, double rms, std::uint32_t seed)
{
    const int half = length / 2;
    const int low = std::max(firstBin, 1);
    // The spectrum's bins 0 .. half - 1, then in their place the frames.
    Table table(static_cast<size_t>(length));
    auto* bins = reinterpret_cast<std::complex<double>*>(table.get());

    // The unnormalised inverse of bins low .. half - 1 (each standing for itself and its mirror)
    // has a mean square of 2·sum|X_k|²: this gain on the bins sets the RMS.
    double sumSquares = 0.0;
    for (int k = low; k < half; ++k)
        sumSquares += 1.0 / k;
    const double gain = sumSquares > 0.0 ? rms / std::sqrt(2.0 * sumSquares) : 0.0;

    // Each phase is the direction of a point drawn evenly from the unit disc: no sine or cosine
    // per bin.
    Random64 random(seed);
    constexpr double perStep = 1.0 / 2147483648.0;
    std::fill(bins, bins + std::min(low, half), 0.0);
    for (int k = low; k < half; ++k) {
        double x = 0.0;
        double y = 0.0;
        double r2 = 0.0;
        do {
            const std::uint64_t r = random();
            x = static_cast<std::int32_t>(r >> 32) * perStep;
            y = static_cast<std::int32_t>(r & 0xFFFFFFFFu) * perStep;
            r2 = x * x + y * y;
        } while (r2 > 1.0 || r2 < 1e-12);
        const double scale = gain / std::sqrt(static_cast<double>(k) * r2);
        bins[k] = {x * scale, y * scale};
    }
    realFromSpectrumInPlace(half, bins);
    return table;
}

}  // namespace

struct SignalSource::State {
    std::mt19937 random;
    std::normal_distribution<double> gauss{0.0, 1.0};
    Table table;  // one period of the pink noises
    std::int64_t tableMask = -1;

    explicit State(std::uint32_t seed) : random(seed ^ 0x5BD1E995u) {}
};

SignalSource::SignalSource(const SignalSpec& spec, int sampleRate, std::uint32_t seed)
    : spec_(spec), rate_(sampleRate), state_(std::make_unique<State>(seed))
{
    if (spec.kind == SignalKind::Periodic && spec.periodFrames >= 2 &&
        std::has_single_bit(static_cast<unsigned>(spec.periodFrames))) {
        state_->table = pinkTable(spec.periodFrames, 1, spec.amplitude, seed);
        state_->tableMask = spec.periodFrames - 1;
    } else if (spec.kind == SignalKind::Pink && sampleRate > 0) {
        const int period = pinkPeriod(sampleRate);
        const int firstBin = static_cast<int>(std::ceil(PinkLowestFrequency * period / sampleRate));
        state_->table = pinkTable(period, firstBin, spec.amplitude, seed);
        state_->tableMask = period - 1;
    }
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
        if (s.table) {
            // A power-of-two period: the mask wraps negative frames too.
            std::int64_t at = first & s.tableMask;
            for (int i = 0; i < count; ++i, at = (at + 1) & s.tableMask)
                out[i * step] = s.table[at];
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
