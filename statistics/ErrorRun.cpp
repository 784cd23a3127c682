#include "statistics/ErrorRun.h"

#include "common/ValueFormat.h"

#include <algorithm>
#include <charconv>

namespace mirel::er {

DurationChoice ReadDuration(int selectedItem, const std::string& text)
{
    if (selectedItem >= 0 && selectedItem < static_cast<int>(DurationItems.size()))
        return {static_cast<double>(DurationItems[static_cast<size_t>(selectedItem)].Seconds), -1};
    const bool digitsOnly =
        !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    int seconds = 0;
    if (digitsOnly) {
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
        if (error != std::errc() || end != text.data() + text.size())
            seconds = 0;
    }
    if (seconds < 1)
        return {static_cast<double>(DurationItems[DurationFallbackItem].Seconds), DurationFallbackItem};
    return {static_cast<double>(seconds), -1};
}

bool DurationKeyAllowed(char32_t key)
{
    return (key >= U'0' && key <= U'9') || key == 8 || key == 13;
}

std::string SecondsText(std::int64_t seconds)
{
    return std::to_string(seconds) + " сек";
}

ResultRows EmptyRows()
{
    return {{{RowCaptions[0], {}, {}}, {RowCaptions[1], {}, {}}, {RowCaptions[2], {}, {}}}};
}

void ErrorRun::Reset(int sampleRate, double duration)
{
    CrossingsA = CrossingsB = 0;
    ErrorsA = ErrorsB = 0;
    Transmitted = 0;
    RunDuration = duration;
    Elapsed = Remaining = 0;
    ProcessedFrames = 0;
    SampleRate = sampleRate;
    TotalFrames = static_cast<double>(sampleRate) * RunDuration;
    FramesPerBlock = er::FramesPerBlock(sampleRate);
}

int CountCrossings(const std::int8_t* block, int frames, int channel)
{
    if (frames < 1)
        return 0;
    int high = block[channel];
    int low = high;
    for (int i = 1; i < frames; ++i) {
        const int sample = block[2 * i + channel];
        high = std::max(high, sample);
        low = std::min(low, sample);
    }
    if (high - low < SilenceSwing)
        return 0;
    const int mid = (high + low) / 2;
    int crossings = 0;
    for (int i = 1; i < frames; ++i) {
        const int prev = block[2 * (i - 1) + channel];
        const int cur = block[2 * i + channel];
        if ((prev <= mid && mid < cur) || (cur < mid && mid <= prev))
            ++crossings;
    }
    return crossings;
}

bool ErrorRun::ProcessData(const std::int8_t* block, int frames)
{
    if (Complete())
        return false;
    int n = frames;
    if (ProcessedFrames + n > TotalFrames)
        n = static_cast<int>(TotalFrames - ProcessedFrames);
    ProcessedFrames += n;
    Elapsed = RunDuration * ProcessedFrames / TotalFrames;
    Remaining = RunDuration - Elapsed;
    Transmitted = static_cast<double>(static_cast<std::int64_t>(SignalRate * Elapsed + 0.5));

    if (const int crossings = CountCrossings(block, n, 0); crossings > 0) {
        CrossingsA += crossings;
        ErrorsA = static_cast<double>(static_cast<std::int64_t>(CrossingsA * 0.5 + 0.5));
    }
    if (const int crossings = CountCrossings(block, n, 1); crossings > 0) {
        CrossingsB += crossings;
        ErrorsB = static_cast<double>(static_cast<std::int64_t>(CrossingsB * 0.5 + 0.5));
    }
    return true;
}

int ErrorRun::Progress() const
{
    return RunDuration > 0 ? static_cast<int>(Elapsed / RunDuration * 100) : 0;
}

ResultRows ErrorRun::Rows() const
{
    // Before the first signal there is no estimate yet: 0 rather than 0 / 0.
    auto ratio = [this](double errors) { return GeneralFloatText(Transmitted > 0 ? errors / Transmitted : 0.0); };
    const std::string transmitted = GeneralFloatText(Transmitted);
    return {{{RowCaptions[0], transmitted, transmitted},
             {RowCaptions[1], GeneralFloatText(ErrorsA), GeneralFloatText(ErrorsB)},
             {RowCaptions[2], ratio(ErrorsA), ratio(ErrorsB)}}};
}

}  // namespace mirel::er
