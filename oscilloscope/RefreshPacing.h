#pragma once
// Refresh pacing of the oscilloscope: the refresh interval the user types, the period of the data
// request timer that follows from it, the deferred jobs of the one-shot timer, and the refresh
// readout shown in the caption of the refresh group.

#include <optional>
#include <string>
#include <string_view>

namespace mirel::osc {

inline constexpr int DefaultRefreshInterval = 50;    // ms, also the text put back into the edit
inline constexpr int InitialDataRequestPeriod = 50;  // ms, until an interval was applied once
inline constexpr int RefreshReadoutPeriod = 1000;    // ms
inline constexpr int RefreshIntervalMaxChars = 4;
// The caption of the refresh group while no rate has been measured.
inline constexpr const char* RefreshCaptionWithoutRate = "Обновление (мс)";

// Jobs of the window's one-shot timer (its tag), and when they run.
enum class OscJob { None = 0, ApplyRefreshInterval = 3, Geometry = 4 };
inline constexpr int ApplyRefreshIntervalDelay = 1500;  // ms after the last change of the edit
inline constexpr int GeometryJobDelay = 10;             // ms; the resize handler also runs it at once
inline constexpr int IdleJobTimerInterval = 1000;       // ms, the timer's interval between jobs

// `edRefreshIntervalKeyPress`: digits, backspace (8), 12 and Enter (13) pass; any other key is
// discarded.
bool RefreshKeyAllowed(char32_t key);

// Five sixths of the refresh interval, truncated, and never below 1 ms (a zero period would stop
// the requests and freeze the display).
int DataRequestPeriod(int refreshInterval);

// The interval job: the edit's text read as a decimal integer; empty, unreadable, zero or negative
// text counts as 50. The edit then shows the number as read ("0050" → "50").
struct AppliedInterval {
    int RefreshInterval;
    int DataRequestPeriod;
    std::string Text;
};
AppliedInterval ApplyRefreshInterval(std::string_view editText);

// The edit's text as a decimal integer (optional sign, digits, nothing else), if it is one.
std::optional<int> ParseInterval(std::string_view text);

// `TimerRefPerSecTimer`: the caption «Обновление (41,6мс)» for `refreshCount` blocks taken in the
// last second, or nothing when none was taken (the caption keeps its text). Without "Max", an
// interval above 1000 ms shows the typed interval instead of the measurement.
std::optional<std::string> RefreshReadoutCaption(int refreshCount, bool maxRefresh, std::string_view editText);

// The measured period 1000 / refreshCount in ms, cut to three or four characters («41,6», «8,3»,
// «142», «1000»).
std::string RefreshPeriodText(int refreshCount);

}  // namespace mirel::osc
