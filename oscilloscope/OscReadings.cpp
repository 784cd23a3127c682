#include "oscilloscope/OscReadings.h"

#include "common/WideVectors.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace mirel::osc {

namespace {

constexpr double FullScale = 32768.0;
constexpr double HysteresisShare = 0.05;
constexpr double HysteresisMinSteps = 2;
// Frequency and period hold to a few parts in ten thousand on a steady wave: four digits.
constexpr int TimeDigits = 4;

// The extreme sample at `at`, refined to the crest of the parabola through it and its neighbours
// where it is a crest (see the header). `sign` is +1 for the maximum, −1 for the minimum.
template <class Read>
double Crest(const Read& read, int frames, int at, double range, double sign)
{
    const double y0 = sign * read(at);
    if (at <= 0 || at + 1 >= frames)
        return sign * y0;
    const double left = sign * read(at - 1);
    const double right = sign * read(at + 1);
    const double curvature = left + right - 2 * y0;
    if (curvature >= 0 || y0 - std::min(left, right) > range / 4)
        return sign * y0;
    const double slope = (right - left) / 2;
    return sign * (y0 - slope * slope / (2 * curvature));
}

// The sample of frame k of the channel whose first sample is at `first` (little-endian, a frame every
// 4 bytes): one load on a little-endian machine.
inline int SampleAt(const std::uint8_t* first, int k)
{
    const std::uint8_t* at = first + static_cast<std::size_t>(k) * 4;
    if constexpr (std::endian::native == std::endian::little) {
        std::int16_t s;
        std::memcpy(&s, at, sizeof s);
        return s;
    } else {
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(at[0] | (at[1] << 8)));
    }
}

// The extremes and sums of one channel of a block: the first pass over it, the one that costs.
struct Totals {
    int Max = 0, Min = 0;
    std::int64_t Sum = 0, Squares = 0;
};

// In stretches whose sums fit 32 bits, so that the loop vectorises on narrow lanes.
MIREL_WIDE_VECTORS Totals ChannelTotals(const std::uint8_t* first, int frames)
{
    constexpr int StretchFrames = 1 << 15;  // 2^15 samples of at most 2^15 each
    Totals t;
    int max = SampleAt(first, 0), min = max;
    for (int start = 0; start < frames; start += StretchFrames) {
        const int end = std::min(frames, start + StretchFrames);
        std::int32_t sum = 0;
        std::int64_t squares = 0;
        for (int k = start; k < end; ++k) {
            const std::int32_t s = SampleAt(first, k);
            sum += s;
            squares += s * s;
            max = std::max(max, s);
            min = std::min(min, s);
        }
        t.Sum += sum;
        t.Squares += squares;
    }
    t.Max = max;
    t.Min = min;
    return t;
}

// `read(k)`: the channel's sample at frame k; `totals`: its extremes and sums. A second pass finds
// the crossings.
template <class Read>
ChannelReadings Measure(const Read& read, const Totals& totals, int frames, int sampleRate)
{
    ChannelReadings r;
    if (frames == 0)
        return r;

    // Where each extreme comes first.
    const int max = totals.Max, min = totals.Min;
    std::int64_t sum = totals.Sum, squares = totals.Squares;
    int maxAt = 0, minAt = 0;
    while (maxAt + 1 < frames && read(maxAt) != max)
        ++maxAt;
    while (minAt + 1 < frames && read(minAt) != min)
        ++minAt;
    const double range = max - min;
    const double top = Crest(read, frames, maxAt, range, 1);
    const double bottom = Crest(read, frames, minAt, range, -1);

    // Rising crossings of the middle level. Samples are whole numbers, so "below x" is "below
    // ceil(x)" and "at or above x" is "at or above ceil(x)".
    const double level = (top + bottom) / 2;
    const double hysteresis = std::max(HysteresisShare * (top - bottom), HysteresisMinSteps);
    const int below = static_cast<int>(std::ceil(level));
    const int arming = static_cast<int>(std::ceil(level - hysteresis));
    const int rising = static_cast<int>(std::ceil(level + hysteresis));
    int firstAt = 0, lastAt = 0, crossings = 0;
    for (int k = 0;;) {
        while (k < frames && read(k) >= arming)
            ++k;
        while (k < frames && read(k) < rising)
            ++k;
        if (k == frames)
            break;
        // Back to the last step through the level; the sample that armed it lies below.
        int at = k;
        while (read(at - 1) >= below)
            --at;
        lastAt = at;
        firstAt = crossings++ == 0 ? at : firstAt;
    }
    auto crossingTime = [&](int at) {
        const double s0 = read(at - 1), s1 = read(at);
        return at - 1 + (level - s0) / (s1 - s0);
    };

    // The sums over the whole periods: those of the block less its ends.
    const bool periodic = crossings >= 2 && sampleRate > 0;
    auto leaveOut = [&](int from, int to) {
        for (int k = from; k < to; ++k) {
            const int s = read(k);
            sum -= s;
            squares -= s * s;
        }
    };
    if (periodic) {
        leaveOut(0, firstAt);
        leaveOut(lastAt, frames);
    }
    double span = frames, total = static_cast<double>(sum), totalSquares = static_cast<double>(squares);
    if (periodic) {
        const double firstTime = crossingTime(firstAt), lastTime = crossingTime(lastAt);
        const double periodFrames = (lastTime - firstTime) / (crossings - 1);
        r.HasFrequency = true;
        r.Frequency = sampleRate / periodFrames;
        r.Period = periodFrames / sampleRate;
        // Each sample stands for the frame around it: the sums over [firstAt, lastAt) cover
        // firstAt − ½ to lastAt − ½, and a part of a sample at either end makes them span exactly the
        // whole periods.
        span = lastTime - firstTime;
        auto add = [&](int at, double weight) {
            const double s = read(at);
            total += weight * s;
            totalSquares += weight * s * s;
        };
        const double before = firstAt - 0.5 - firstTime;
        add(before > 0 ? firstAt - 1 : firstAt, before);
        const double after = lastTime - (lastAt - 0.5);
        add(after > 0 ? lastAt : lastAt - 1, after);
    }
    r.Max = top / FullScale;
    r.Min = bottom / FullScale;
    r.PeakToPeak = (top - bottom) / FullScale;
    r.Mean = total / span / FullScale;
    r.Rms = std::sqrt(std::max(totalSquares, 0.0) / span) / FullScale;
    return r;
}

}  // namespace

ChannelReadings MeasureChannel(const BlockView& block, Channel channel, int sampleRate)
{
    // Little-endian samples, read as such on a little-endian machine (one load, not two bytes).
    const std::uint8_t* first = block.Bytes().data() + (channel == Channel::A ? 0 : 2);
    const int frames = block.Frames();
    const Totals totals = frames > 0 ? ChannelTotals(first, frames) : Totals{};
    return Measure([first](int k) { return SampleAt(first, k); }, totals, frames, sampleRate);
}

std::vector<ReadingText> ReadingLines(const ChannelReadings& readings)
{
    const double none = NAN;
    return {
        {"Частота", ReadingToStr(readings.HasFrequency ? readings.Frequency : none, "Гц", true, TimeDigits)},
        {"Период", ReadingToStr(readings.HasFrequency ? readings.Period : none, "с", true, TimeDigits)},
        {"Макс.", ReadingToStr(readings.Max, "В")},
        {"Мин.", ReadingToStr(readings.Min, "В")},
        {"Размах", ReadingToStr(readings.PeakToPeak, "В")},
        {"Среднее", ReadingToStr(readings.Mean, "В")},
        {"СКЗ", ReadingToStr(readings.Rms, "В")},
    };
}

MeasuredValues ToMeasuredValues(const ChannelReadings& r)
{
    MeasuredValues v;
    if (r.HasFrequency) {
        v.FrequencyHz = r.Frequency;
        v.PeriodS = r.Period;
    }
    v.MaxV = r.Max;
    v.MinV = r.Min;
    v.PeakToPeakV = r.PeakToPeak;
    v.MeanV = r.Mean;
    v.RmsV = r.Rms;
    return v;
}

}  // namespace mirel::osc
