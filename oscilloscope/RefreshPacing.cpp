#include "oscilloscope/RefreshPacing.h"

#include "common/ValueFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace mirel::osc {

bool RefreshKeyAllowed(char32_t key)
{
    return (key >= U'0' && key <= U'9') || key == 8 || key == 12 || key == 13;
}

int DataRequestPeriod(int refreshInterval)
{
    const int period = static_cast<int>(std::trunc(refreshInterval * 0.8333333333333334));
    return std::max(period, 1);
}

std::optional<int> ParseInterval(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    std::string_view digits = text;
    if (digits.front() == '+')  // from_chars takes a minus but not a plus
        digits.remove_prefix(1);
    if (digits.empty() || digits.front() == '+')
        return std::nullopt;
    int value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 10);
    if (ec != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return value;
}

AppliedInterval ApplyRefreshInterval(std::string_view editText)
{
    int interval = ParseInterval(editText).value_or(DefaultRefreshInterval);
    if (interval < 1)
        interval = DefaultRefreshInterval;
    return {interval, DataRequestPeriod(interval), std::to_string(interval)};
}

std::string RefreshPeriodText(int refreshCount)
{
    std::string s = GeneralFloatText(1000.0 / refreshCount);
    const auto comma = s.find(',');
    if (comma == 1)
        s.resize(3);
    else if (comma == 2)
        s.resize(4);
    else if (comma == 3)
        s.resize(3);
    else if (comma != std::string::npos)
        s.erase(comma);
    return s;
}

std::optional<std::string> RefreshReadoutCaption(int refreshCount, bool maxRefresh, std::string_view editText)
{
    if (refreshCount <= 0)
        return std::nullopt;
    if (!maxRefresh) {
        if (const auto typed = ParseInterval(editText); typed && *typed > 1000)
            return "Обновление (" + std::string(editText) + "мс)";
    }
    return "Обновление (" + RefreshPeriodText(refreshCount) + "мс)";
}

}  // namespace mirel::osc
