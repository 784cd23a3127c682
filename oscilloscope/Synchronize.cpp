#include "oscilloscope/Synchronize.h"

#include "oscilloscope/OscScales.h"

#include <cctype>

namespace mirel::osc {

int FindRisingCrossing(const BlockView& block, bool channelB)
{
    auto s = [&](int i) { return channelB ? block.B(i) : block.A(i); };
    for (int i = BlockLeadIn; i < BlockLeadIn + TriggerWindow; ++i) {
        if (s(i - 2) < 0 && s(i - 1) < 0 && s(i) > 0 && s(i + 1) > 0)
            return i - BlockLeadIn;
    }
    return 0;
}

TriggerOffsets Synchronize(std::string_view mode, const BlockView& block)
{
    TriggerOffsets t;
    if (mode.find('A') != std::string_view::npos)
        t.TriggerA = FindRisingCrossing(block, false);
    if (mode.find('B') != std::string_view::npos)
        t.TriggerB = FindRisingCrossing(block, true);

    std::string upper(mode);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));

    if (upper == "A")
        t.TriggerB = 0;
    else if (upper == "B")
        t.TriggerA = 0;
    else if (upper == "2POA")
        t.TriggerB = t.TriggerA;
    else if (upper == "2POB")
        t.TriggerA = t.TriggerB;
    else if (upper != "AB")
        t = {};
    return t;
}

std::optional<std::string> SyncModeForItem(int index)
{
    if (index < 0 || index >= static_cast<int>(SyncItems.size()))
        return std::nullopt;
    return std::string(SyncItems[static_cast<size_t>(index)].Mode);
}

}  // namespace mirel::osc
