#pragma once
// The timed error-rate run: the run-length box, the run reset, the pulse counting of each 0.2 s
// block and the texts of the results table. No Qt here; the window feeds it the signed blocks.

#include <array>
#include <cstdint>
#include <string>

namespace mirel::er {

// The items of the run-length box `cbTime` and the seconds they stand for.
struct DurationItem {
    const char* Text;
    int Seconds;
};
inline constexpr std::array<DurationItem, 11> DurationItems{{
    {"1 сек", 1},
    {"5 сек", 5},
    {"10 сек", 10},
    {"20 сек", 20},
    {"30 сек", 30},
    {"1 мин", 60},
    {"2 мин", 120},
    {"3 мин", 180},
    {"4 мин", 240},
    {"5 мин", 300},
    {"10 мин", 600},
}};
inline constexpr int DurationItemAtStart = 1;   // "5 сек"
inline constexpr int DurationFallbackItem = 2;  // "10 сек", for text that is no run length

inline constexpr double SignalRate = 654.0;  // signals the equipment sends per second
inline constexpr int SilenceSwing = 20;      // a block swinging less than this counts nothing
inline constexpr int BlocksPerSecond = 5;

// `cbTimeClick`: the run length in seconds that the box stands for. A chosen item gives its
// seconds; typed text must be a whole number of seconds, at least 1. Anything else (empty, zero,
// letters, a number too large to be a run) selects `DurationFallbackItem`.
struct DurationChoice {
    double Seconds;
    int SelectItem;  // the item the box is to show, or -1 to leave the typed text
};
DurationChoice ReadDuration(int selectedItem, const std::string& text);

// `cbTimeKeyPress`: the typed characters the box takes (digits, backspace, Enter).
bool DurationKeyAllowed(char32_t key);

// Frames in one block: each block covers 0.2 s.
inline int FramesPerBlock(int sampleRate)
{
    return sampleRate / BlocksPerSecond;
}

// «12 сек»: the time labels, rounded or truncated by the caller.
std::string SecondsText(std::int64_t seconds);

// The three rows of the results table: caption, then the texts of channel A and B.
struct ResultRow {
    const char* Caption;
    std::string A;
    std::string B;
};
using ResultRows = std::array<ResultRow, 3>;
inline constexpr std::array<const char*, 3> RowCaptions{"Всего передано сигналов", "Из них передано с ошибкой",
                                                        "Оценка вероятности ошибки"};
ResultRows EmptyRows();

// One run. `Reset` starts it; every block goes through `ProcessData` until `Complete`.
class ErrorRun {
public:
    // The run reset: counters to zero, the run length fixed, `TotalFrames` from the rate.
    void Reset(int sampleRate, double duration);

    // Counts one block of `frames` interleaved signed frames, channel A first. Only the frames the
    // run still needs are used, so a run covers exactly `TotalFrames` frames. Returns false, and
    // does nothing, once the run is complete.
    bool ProcessData(const std::int8_t* block, int frames);

    bool Complete() const { return ProcessedFrames >= TotalFrames; }
    // Progress bar position, 0 to 100.
    int Progress() const;

    // `Label8`, `Label3`, `Label5`.
    std::string TotalText() const { return SecondsText(static_cast<std::int64_t>(RunDuration)); }
    std::string ElapsedText() const { return SecondsText(static_cast<std::int64_t>(Elapsed + 0.5)); }
    std::string RemainingText() const { return SecondsText(static_cast<std::int64_t>(Remaining + 0.5)); }

    // The table rows as they stand after the last block.
    ResultRows Rows() const;
    // The length of measurement the rows describe: the whole run once complete, the time measured
    // when the run was stopped early.
    double MeasuredSeconds() const { return Complete() ? RunDuration : Elapsed; }

    int SampleRate = 0;
    int FramesPerBlock = 0;
    double RunDuration = 0;
    double TotalFrames = 0;
    double ProcessedFrames = 0;
    double Elapsed = 0;
    double Remaining = 0;
    double Transmitted = 0;
    double CrossingsA = 0;
    double CrossingsB = 0;
    double ErrorsA = 0;
    double ErrorsB = 0;
};

// Mid-level crossings of one channel (`channel` 0 = A, 1 = B) over the first `frames` frames: none
// when the swing is under `SilenceSwing`. Each frame is compared with the one before it in the
// same block.
int CountCrossings(const std::int8_t* block, int frames, int channel);

}  // namespace mirel::er
