#pragma once
// One pixel position on a drawing surface; runs of these are drawn as polylines.

#include <cstdint>

namespace mirel {

struct ScreenPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;

    friend constexpr bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

}  // namespace mirel
