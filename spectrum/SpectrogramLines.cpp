// The spectrogram's lines: when each falls due in the input, its transforms in decibels, the ring
// that keeps them and their text for saving.
#include "spectrum/SpectrogramLines.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <complex>
#include <cstring>
#include <limits>

namespace mirel::spectrum {

namespace {

constexpr int Channels = 2;

// `count` samples of `source` from `from` on into `out`; those beyond its end count as 0.
void CopyOrZero(std::span<const std::int16_t> source, std::size_t from, std::size_t count, std::int16_t* out)
{
    const std::size_t there = from < source.size() ? std::min(count, source.size() - from) : 0;
    if (there > 0)
        std::memcpy(out, source.data() + from, there * sizeof(std::int16_t));
    std::fill(out + there, out + count, std::int16_t{0});
}

// The shortest text that reads back as the same number, as the other CSV files have it.
template <class Number>
void AppendNumber(std::string& out, Number value)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

}  // namespace

bool SpectrogramLines::Configure(const SpectrogramSettings& s)
{
    if (configured_ && s == settings_)
        return false;
    SpectrogramSettings axisAndRoom = settings_;
    axisAndRoom.Capacity = s.Capacity;
    axisAndRoom.LogFrequency = s.LogFrequency;
    const bool keep = configured_ && Valid() && s.Capacity >= 1 && axisAndRoom == s;
    const int oldCapacity = settings_.Capacity;
    settings_ = s;
    configured_ = true;
    shown_ = ShownBinRange(s.LowFrequency, s.HighFrequency, s.FftLength, s.SampleRate, 1, s.LogFrequency);
    if (keep) {
        if (s.Capacity != oldCapacity)
            Resize(oldCapacity);
        return false;
    }
    ready_ = Valid();
    if (!ready_) {
        Reset();
        return true;
    }
    // Both axes' bins are kept, so that switching the axis loses no line.
    stored_ = ShownBinRange(s.LowFrequency, s.HighFrequency, s.FftLength, s.SampleRate, 1, true);
    stride_ = stored_.Count();
    fft_.SetLength(s.FftLength);
    window_.Set(s.Window, s.FftLength);
    history_.assign(static_cast<std::size_t>(Channels * 2 * s.FftLength), 0);
    db_.assign(static_cast<std::size_t>(s.Capacity) * Channels * static_cast<std::size_t>(stride_), 0.0f);
    numbers_.assign(static_cast<std::size_t>(s.Capacity), 0);
    Reset();
    return true;
}

bool SpectrogramLines::Valid() const
{
    const SpectrogramSettings& s = settings_;
    return s.SampleRate > 0 && s.LinesPerSecond > 0 && s.FftLength >= 2 && s.Capacity >= 1;
}

void SpectrogramLines::Reset()
{
    position_ = 0;
    fed_ = 0;
    next_ = 0;
    count_ = 0;
    newest_ = std::max(settings_.Capacity - 1, 0);
    lastFed_ = 0;
}

void SpectrogramLines::Resize(int oldCapacity)
{
    // The newest lines that fit, oldest first from slot 0.
    const int capacity = settings_.Capacity;
    const int keep = std::min(count_, capacity);
    const auto lineSize = static_cast<std::size_t>(Channels * stride_);
    std::vector<float> db(static_cast<std::size_t>(capacity) * lineSize);
    std::vector<std::int64_t> numbers(static_cast<std::size_t>(capacity));
    for (int age = 0; age < keep; ++age) {
        const auto from = static_cast<std::size_t>((newest_ - age + oldCapacity) % oldCapacity);
        const auto to = static_cast<std::size_t>(keep - 1 - age);
        std::copy_n(db_.begin() + static_cast<std::ptrdiff_t>(from * lineSize), lineSize,
                    db.begin() + static_cast<std::ptrdiff_t>(to * lineSize));
        numbers[to] = numbers_[from];
    }
    db_ = std::move(db);
    numbers_ = std::move(numbers);
    count_ = keep;
    newest_ = keep > 0 ? keep - 1 : capacity - 1;
}

std::int64_t SpectrogramLines::EndOf(std::int64_t line) const
{
    return settings_.FftLength + line * settings_.SampleRate / settings_.LinesPerSecond;
}

int SpectrogramLines::Feed(std::span<const std::int16_t> a, std::span<const std::int16_t> b)
{
    lastFed_ = 0;
    if (!ready_)
        return 0;
    const auto n = static_cast<std::size_t>(settings_.FftLength);
    for (std::size_t at = 0; at < a.size();) {
        const std::int64_t due = EndOf(next_);
        const auto take =
            static_cast<std::size_t>(std::min<std::int64_t>(due - fed_, static_cast<std::int64_t>(a.size() - at)));
        // Only the last n samples of a longer stretch stay in the history: its newest samples go
        // to the history's next places, each place twice, so that the last n stand in a row.
        const std::size_t skip = take > n ? take - n : 0;
        const std::size_t count = take - skip;
        const auto position = static_cast<std::size_t>(position_);
        const std::size_t first = std::min(count, n - position);
        for (int channel = 0; channel < Channels; ++channel) {
            std::int16_t* h = history_.data() + static_cast<std::size_t>(channel) * 2 * n;
            const std::span<const std::int16_t> source = channel == 0 ? a : b;
            CopyOrZero(source, at + skip, first, h + position);
            CopyOrZero(source, at + skip + first, count - first, h);
            std::memcpy(h + n + position, h + position, first * sizeof(std::int16_t));
            std::memcpy(h + n, h, (count - first) * sizeof(std::int16_t));
        }
        position_ = static_cast<int>((position + count) % n);
        at += take;
        fed_ += static_cast<std::int64_t>(take);
        if (fed_ == due) {
            MakeLine();
            ++lastFed_;
        }
    }
    return lastFed_;
}

void SpectrogramLines::MakeLine()
{
    const SpectrogramSettings& s = settings_;
    newest_ = (newest_ + 1) % s.Capacity;
    count_ = std::min(count_ + 1, s.Capacity);
    numbers_[static_cast<std::size_t>(newest_)] = next_++;
    const auto n = static_cast<std::size_t>(s.FftLength);
    // Each bin's level in decibels straight from its power, as the spectrum reads it: the dBV of a
    // sine's peak, 20·lg(|X| / (N/2 · 32768 · coherent gain)), or for power that level squared
    // over the noise bandwidth. One logarithm of a float per bin (glibc's logf is the fast one);
    // no bin level goes through a square root first.
    const double norm = static_cast<double>(s.FftLength / 2) * 32768 * window_.CoherentGain();
    const auto offset = static_cast<float>(-20 * std::log10(norm) -
                                           (s.AmplitudeMode ? 0.0 : 10 * std::log10(window_.NoiseBandwidth())));
    constexpr float DbPerNeper = 4.342944819f;  // 10 / ln 10
    float* out = db_.data() + SlotOf(0);
    for (int channel = 0; channel < Channels; ++channel) {
        const std::int16_t* h = history_.data() + static_cast<std::size_t>(channel) * 2 * n;
        fft_.Transform(std::span(h + position_, n), window_.Coefficients());
        const std::complex<double>* bins = fft_.Bins().data() + stored_.FirstBin + 1;
        for (int i = 0; i < stride_; ++i) {
            const auto power = static_cast<float>(std::norm(bins[i]));
            out[i] = power > 0 ? DbPerNeper * std::log(power) + offset : -std::numeric_limits<float>::infinity();
        }
        out += stride_;
    }
}

std::size_t SpectrogramLines::SlotOf(int age) const
{
    const int capacity = settings_.Capacity;
    const auto slot = static_cast<std::size_t>((newest_ - age + capacity) % capacity);
    return slot * Channels * static_cast<std::size_t>(stride_);
}

SpectrogramAxis SpectrogramLines::Axis() const
{
    const SpectrogramSettings& s = settings_;
    return {s.SampleRate, s.FftLength, s.LowFrequency, s.HighFrequency, s.LogFrequency};
}

double SpectrogramLines::BinFrequency(int index) const
{
    return static_cast<double>(shown_.FirstBin + 1 + index) * settings_.SampleRate / settings_.FftLength;
}

std::span<const float> SpectrogramLines::LineDb(int channel, int age) const
{
    if (age < 0 || age >= count_ || shown_.Count() == 0)
        return {};
    const auto offset = static_cast<std::size_t>(channel * stride_ + shown_.FirstBin - stored_.FirstBin);
    return std::span(db_).subspan(SlotOf(age) + offset, static_cast<std::size_t>(shown_.Count()));
}

std::int64_t SpectrogramLines::LineNumber(int age) const
{
    const int capacity = settings_.Capacity;
    return numbers_[static_cast<std::size_t>((newest_ - age + capacity) % capacity)];
}

double SpectrogramLines::LineTime(int age) const
{
    return static_cast<double>(LineNumber(age)) / settings_.LinesPerSecond;
}

std::int64_t SpectrogramLines::LineEnd(int age) const
{
    return EndOf(LineNumber(age));
}

std::string SpectrogramLines::Csv(bool showA, bool showB) const
{
    std::string out = "channel,time_s";
    for (int i = 0; i < BinCount(); ++i) {
        out += ',';
        AppendNumber(out, BinFrequency(i));
    }
    out += "\r\n";
    if (count_ == 0)
        return out;
    const std::int64_t first = LineNumber(count_ - 1);
    for (int age = count_ - 1; age >= 0; --age) {
        const double time = static_cast<double>(LineNumber(age) - first) / settings_.LinesPerSecond;
        for (int channel = 0; channel < Channels; ++channel) {
            if (!(channel == 0 ? showA : showB))
                continue;
            out += channel == 0 ? 'A' : 'B';
            out += ',';
            AppendNumber(out, time);
            for (const float db : LineDb(channel, age)) {
                out += ',';
                AppendNumber(out, db);
            }
            out += "\r\n";
        }
    }
    return out;
}

}  // namespace mirel::spectrum
