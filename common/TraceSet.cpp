#include "common/TraceSet.h"

#include <algorithm>

namespace mirel {

void TraceSet::Allocate(int points)
{
    const auto n = static_cast<size_t>(std::max(points, 0));
    TraceA.assign(n, {});
    TraceB.assign(n, {});
    PrevTraceA.assign(n, {});
    PrevTraceB.assign(n, {});
}

void TraceSet::Free()
{
    for (auto* v : {&TraceA, &TraceB, &PrevTraceA, &PrevTraceB}) {
        v->clear();
        v->shrink_to_fit();
    }
}

void TraceSet::Remember()
{
    PrevTraceA = TraceA;
    PrevTraceB = TraceB;
}

}  // namespace mirel
