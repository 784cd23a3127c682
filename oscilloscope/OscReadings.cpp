#include "oscilloscope/OscReadings.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace mirel::osc {

namespace {

constexpr double FullScale = 32768.0;
constexpr double HysteresisShare = 0.05;
constexpr double HysteresisMinSteps = 2;

int SampleAt(const BlockView& block, Channel channel, int frame)
{
    return channel == Channel::A ? block.A(frame) : block.B(frame);
}

// The extreme sample at `at`, refined to the crest of the parabola through it and its neighbours
// where it is a crest (see the header). `sign` is +1 for the maximum, −1 for the minimum.
double Crest(const BlockView& block, Channel channel, int at, double range, double sign)
{
    const double y0 = sign * SampleAt(block, channel, at);
    if (at <= 0 || at + 1 >= block.Frames())
        return sign * y0;
    const double left = sign * SampleAt(block, channel, at - 1);
    const double right = sign * SampleAt(block, channel, at + 1);
    const double curvature = left + right - 2 * y0;
    if (curvature >= 0 || y0 - std::min(left, right) > range / 4)
        return sign * y0;
    const double slope = (right - left) / 2;
    return sign * (y0 - slope * slope / (2 * curvature));
}

}  // namespace

ChannelReadings MeasureChannel(const BlockView& block, Channel channel, int sampleRate)
{
    ChannelReadings r;
    const int frames = block.Frames();
    if (frames == 0)
        return r;

    int maxAt = 0, minAt = 0;
    int max = SampleAt(block, channel, 0), min = max;
    for (int k = 1; k < frames; ++k) {
        const int s = SampleAt(block, channel, k);
        if (s > max) {
            max = s;
            maxAt = k;
        } else if (s < min) {
            min = s;
            minAt = k;
        }
    }
    const double range = max - min;
    const double top = Crest(block, channel, maxAt, range, 1);
    const double bottom = Crest(block, channel, minAt, range, -1);

    // Rising crossings of the middle level, and the running sums at the first and the last of them.
    const double level = (top + bottom) / 2;
    const double hysteresis = std::max(HysteresisShare * (top - bottom), HysteresisMinSteps);
    std::int64_t sum = 0, squares = 0;
    std::int64_t sumAtBelow = 0, squaresAtBelow = 0;  // through the last sample below the level
    std::int64_t sumFirst = 0, squaresFirst = 0, sumLast = 0, squaresLast = 0;
    int lastBelow = -1, firstAt = 0, lastAt = 0, crossings = 0;
    double firstTime = 0, lastTime = 0;
    bool armed = false;
    for (int k = 0; k < frames; ++k) {
        const std::int64_t s = SampleAt(block, channel, k);
        sum += s;
        squares += s * s;
        if (s < level) {
            lastBelow = k;
            sumAtBelow = sum;
            squaresAtBelow = squares;
            armed = armed || s < level - hysteresis;
        } else if (armed && s >= level + hysteresis) {
            const double s0 = SampleAt(block, channel, lastBelow);
            const double s1 = SampleAt(block, channel, lastBelow + 1);
            lastTime = lastBelow + (level - s0) / (s1 - s0);
            lastAt = lastBelow + 1;
            sumLast = sumAtBelow;
            squaresLast = squaresAtBelow;
            if (crossings++ == 0) {
                firstTime = lastTime;
                firstAt = lastAt;
                sumFirst = sumLast;
                squaresFirst = squaresLast;
            }
            armed = false;
        }
    }

    double span = frames, total = static_cast<double>(sum), totalSquares = static_cast<double>(squares);
    if (crossings >= 2 && sampleRate > 0) {
        const double periodFrames = (lastTime - firstTime) / (crossings - 1);
        r.HasFrequency = true;
        r.Frequency = sampleRate / periodFrames;
        r.Period = periodFrames / sampleRate;
        // Each sample stands for the frame around it: the sums over [firstAt, lastAt) cover
        // firstAt − ½ to lastAt − ½, and a part of a sample at either end makes them span exactly the
        // whole periods.
        span = lastTime - firstTime;
        total = static_cast<double>(sumLast - sumFirst);
        totalSquares = static_cast<double>(squaresLast - squaresFirst);
        auto add = [&](int at, double weight) {
            const double s = SampleAt(block, channel, at);
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

std::vector<ReadingText> ReadingLines(const ChannelReadings& readings)
{
    const double none = NAN;
    return {
        {"Частота", ReadingToStr(readings.HasFrequency ? readings.Frequency : none, "Гц")},
        {"Период", ReadingToStr(readings.HasFrequency ? readings.Period : none, "с")},
        {"Макс.", ReadingToStr(readings.Max, "В")},
        {"Мин.", ReadingToStr(readings.Min, "В")},
        {"Размах", ReadingToStr(readings.PeakToPeak, "В")},
        {"Среднее", ReadingToStr(readings.Mean, "В")},
        {"СКЗ", ReadingToStr(readings.Rms, "В")},
    };
}

}  // namespace mirel::osc
