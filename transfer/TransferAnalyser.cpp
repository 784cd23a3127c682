#include "transfer/TransferAnalyser.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>

namespace mirel::transfer {

namespace {

// At least 2 s and two of the longest transforms.
std::size_t RingSize(int sampleRate)
{
    return std::bit_ceil(static_cast<std::size_t>(std::max(2 * sampleRate, 2 * LongestFftLength)));
}

int ValidLength(int length)
{
    return static_cast<int>(
        std::bit_ceil(static_cast<unsigned>(std::clamp(length, ShortestFftLength, LongestFftLength))));
}

}  // namespace

void TransferAnalyser::SetRate(int sampleRate)
{
    if (sampleRate == rate_ && !ringA_.empty())
        return;
    rate_ = sampleRate;
    const std::size_t size = sampleRate > 0 ? RingSize(sampleRate) : 0;
    ringA_.assign(size, 0);
    ringB_.assign(size, 0);
    keptA_.assign(size, 0);
    keptB_.assign(size, 0);
    delayFinder_.Prepare(static_cast<int>(size));
    Prepare();
    Reset();
}

void TransferAnalyser::SetSettings(const TransferSettings& settings)
{
    const bool restart = ValidLength(settings.FftLength) != fftLength_ || settings.Window != window_;
    settings_ = settings;
    if (restart) {
        Prepare();
        spectra_.Reset();
        // The frames kept since the last gap serve the new length at once.
        nextResult_ = std::max<std::int64_t>(frames_, keptFrom_ + fftLength_);
    }
    smoother_.Set(fftLength_ / 2 + 1, settings_.Smoothing);
    if (const int shift = WantedShift(); shift != shift_)
        Realign(shift);
    MakePoints();
}

int TransferAnalyser::WantedShift() const
{
    return settings_.CompensateDelay && delay_.Valid ? static_cast<int>(std::lround(delay_.Samples)) : 0;
}

void TransferAnalyser::Realign(int shift)
{
    shift_ = shift;
    spectra_.Reset();
    // The results due within the kept frames, made again from records the new distance apart.
    const std::int64_t step = fftLength_ / 4;
    const std::int64_t oldest = std::max(keptFrom_, frames_ - static_cast<std::int64_t>(ringA_.size()));
    const std::int64_t reach = fftLength_ + std::abs(shift_);
    const std::int64_t last = std::min(nextResult_ - step, frames_);
    if (last - reach < oldest)
        return;
    for (std::int64_t end = last - (last - reach - oldest) / step * step; end <= last; end += step)
        MakeResult(end);
}

void TransferAnalyser::Prepare()
{
    fftLength_ = ValidLength(settings_.FftLength);
    window_ = settings_.Window;
    const auto n = static_cast<std::size_t>(fftLength_);
    blockA_.assign(n, 0);
    blockB_.assign(n, 0);
    windowTable_.Set(window_, fftLength_);
    fftA_.SetLength(fftLength_);
    fftB_.SetLength(fftLength_);
    if (spectra_.Bins() != fftLength_ / 2 + 1)
        spectra_.Resize(fftLength_ / 2 + 1);
    smoother_.Set(fftLength_ / 2 + 1, settings_.Smoothing);
    points_.reserve(n / 2 + 1);
}

void TransferAnalyser::Reset()
{
    frames_ = 0;
    keptFrom_ = 0;
    shift_ = 0;
    nextResult_ = fftLength_;
    spectra_.Reset();
    delay_ = {};
    points_.clear();
}

void TransferAnalyser::Discontinue()
{
    keptFrom_ = frames_;
    nextResult_ = frames_ + fftLength_;
}

int TransferAnalyser::Feed(std::span<const std::int16_t> interleaved)
{
    if (ringA_.empty())
        return 0;
    const std::size_t mask = ringA_.size() - 1;
    std::size_t frames = interleaved.size() / 2;
    const std::int16_t* in = interleaved.data();
    int made = 0;
    for (;;) {
        for (; frames_ >= nextResult_; nextResult_ += fftLength_ / 4)
            made += MakeResult(nextResult_) ? 1 : 0;
        if (frames == 0)
            break;
        const std::size_t take = std::min(frames, static_cast<std::size_t>(nextResult_ - frames_));
        for (std::size_t i = 0; i < take; ++i) {
            const std::size_t at = static_cast<std::size_t>(frames_ + static_cast<std::int64_t>(i)) & mask;
            ringA_[at] = in[2 * i];
            ringB_[at] = in[2 * i + 1];
        }
        in += 2 * take;
        frames -= take;
        frames_ += static_cast<std::int64_t>(take);
    }
    if (made > 0)
        MakePoints();
    return made;
}

bool TransferAnalyser::MakeResult(std::int64_t end)
{
    const std::int64_t endA = end - std::max(shift_, 0);
    const std::int64_t endB = end - std::max(-shift_, 0);
    if (std::min(endA, endB) - fftLength_ < keptFrom_)
        return false;  // the records would reach back across a gap
    const std::size_t mask = ringA_.size() - 1;
    const auto n = static_cast<std::size_t>(fftLength_);
    const auto copy = [&](const std::vector<std::int16_t>& ring, std::int64_t recordEnd,
                          std::vector<std::int16_t>& block) {
        const auto start = static_cast<std::size_t>(recordEnd - fftLength_) & mask;
        const std::size_t first = std::min(n, ring.size() - start);
        std::copy_n(ring.begin() + static_cast<std::ptrdiff_t>(start), first, block.begin());
        std::copy_n(ring.begin(), n - first, block.begin() + static_cast<std::ptrdiff_t>(first));
    };
    copy(ringA_, endA, blockA_);
    copy(ringB_, endB, blockB_);
    fftA_.Transform(blockA_, windowTable_.Coefficients());
    fftB_.Transform(blockB_, windowTable_.Coefficients());
    spectra_.Add(fftA_.Bins(), fftB_.Bins(), settings_.Averaging);
    return true;
}

void TransferAnalyser::MakePoints()
{
    points_.clear();
    if (spectra_.Count() == 0 || rate_ <= 0)
        return;
    const SpectraView s = smoother_.Apply(spectra_.View());
    const double binHz = static_cast<double>(rate_) / fftLength_;
    const int last = fftLength_ / 2;
    const int kLow = std::clamp(static_cast<int>(std::ceil(settings_.LowHz / binHz)), 0, last + 1);
    const int kHigh = std::clamp(static_cast<int>(std::floor(settings_.HighHz / binHz)), -1, last);
    // e^(+2πifτ) turns by the same angle from bin to bin; it is renewed every 256 bins so that the
    // rounding of the repeated product does not grow.
    // What the records' distance leaves of the delay: a fraction of a sample.
    const double tau = settings_.CompensateDelay && delay_.Valid ? (delay_.Samples - shift_) / rate_ : 0;
    const double turnAngle = 2 * std::numbers::pi * binHz * tau;
    const std::complex<double> turn = std::polar(1.0, turnAngle);
    std::complex<double> rotation = 1;
    for (int k = kLow; k <= kHigh; ++k) {
        const auto i = static_cast<std::size_t>(k);
        TransferPoint p;
        p.Frequency = k * binHz;
        const double power = s.Aa[i] * s.Bb[i];
        p.Coherence = power > 0 ? std::min(1.0, std::norm(s.Ab[i]) / power) : 0;
        std::complex<double> h = s.Aa[i] > 0 ? s.Ab[i] / s.Aa[i] : 0;
        if (tau != 0) {
            rotation = k == kLow || k % 256 == 0 ? std::polar(1.0, turnAngle * k) : rotation * turn;
            h *= rotation;
        }
        p.MagnitudeDb = 10 * std::log10(std::max(std::norm(h), 1e-30));
        p.PhaseDeg = std::arg(h) * (180 / std::numbers::pi);
        if (p.PhaseDeg <= -180)
            p.PhaseDeg += 360;
        points_.push_back(p);
    }
}

const DelayResult& TransferAnalyser::FindDelay()
{
    const std::size_t size = ringA_.size();
    const auto kept =
        static_cast<std::size_t>(std::min<std::int64_t>(frames_ - keptFrom_, static_cast<std::int64_t>(size)));
    if (kept == 0 || rate_ <= 0) {
        delay_ = {};
        return delay_;
    }
    const std::size_t start = static_cast<std::size_t>(frames_ - static_cast<std::int64_t>(kept)) & (size - 1);
    const std::size_t first = std::min(kept, size - start);
    std::copy_n(ringA_.begin() + static_cast<std::ptrdiff_t>(start), first, keptA_.begin());
    std::copy_n(ringB_.begin() + static_cast<std::ptrdiff_t>(start), first, keptB_.begin());
    std::copy_n(ringA_.begin(), kept - first, keptA_.begin() + static_cast<std::ptrdiff_t>(first));
    std::copy_n(ringB_.begin(), kept - first, keptB_.begin() + static_cast<std::ptrdiff_t>(first));
    delay_ = delayFinder_.Find(std::span(keptA_).first(kept), std::span(keptB_).first(kept), rate_, rate_);
    if (const int shift = WantedShift(); shift != shift_)
        Realign(shift);
    MakePoints();
    return delay_;
}

}  // namespace mirel::transfer
