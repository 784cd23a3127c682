#pragma once
// The point arrays of a display's two curves: the points of the last computation and the points as
// last drawn, which the next refresh draws again in the background colour to erase them.

#include "common/ScreenPoint.h"

#include <vector>

namespace mirel {

struct TraceSet {
    std::vector<ScreenPoint> TraceA, TraceB, PrevTraceA, PrevTraceB;

    // Allocated at each start with `points` points each (all at 0,0); frees the old ones.
    void Allocate(int points);
    void Free();
    bool Exists() const { return !TraceA.empty(); }
    // After drawing: the drawn curves become the ones to erase next time (both channels, shown or
    // not). Copies into the arrays already there: no allocation per block.
    void Remember();
};

}  // namespace mirel
