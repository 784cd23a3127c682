#pragma once
// Trigger search: where in a block each channel's picture starts.

#include "oscilloscope/OscBlock.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace mirel::osc {

// Offsets of the first shown frame after frame `BlockLeadIn`, 0..TriggerWindow − 1.
struct TriggerOffsets {
    int TriggerA = 0;
    int TriggerB = 0;
    bool operator==(const TriggerOffsets&) const = default;
};

// The first frame i in BlockLeadIn .. BlockLeadIn + TriggerWindow − 1 where channel `b` (false: A,
// true: B) rises through zero with two samples of guard on each side: s[i−2] < 0, s[i−1] < 0,
// s[i] > 0, s[i+1] > 0. Returns i − BlockLeadIn, or 0 when no frame qualifies.
int FindRisingCrossing(const BlockView& block, bool channelB);

// `Synchronize(mode)`: "" none, "AB" each channel on its own crossing, "A" / "B" only that channel,
// "2POA" / "2POB" both channels on A's / B's crossing. A channel is searched when the mode contains
// its letter; the mode is then compared in upper case, and any unknown mode starts both at 0.
TriggerOffsets Synchronize(std::string_view mode, const BlockView& block);

// The items of the synchronisation combo box, in order.
struct SyncItem {
    const char* Caption;
    const char* Mode;
};
inline constexpr std::array<SyncItem, 6> SyncItems = {{
    {"Нет", ""},
    {"Оба канала", "AB"},
    {"Только канал A", "A"},
    {"Только канал B", "B"},
    {"Оба канала по A", "2POA"},
    {"Оба канала по B", "2POB"},
}};
inline constexpr int SyncItemAtStart = 1;

// `cbSinchroChange`: the mode of a combo-box item; no value for an index outside the list (the
// mode then stays as it was).
std::optional<std::string> SyncModeForItem(int index);

}  // namespace mirel::osc
