#pragma once
// Runs the event loop for a subcommand until its window is done, and notices a source that stops
// delivering.

#include <functional>

namespace mirel {

// A source that delivers no block for this long is taken as lost.
inline constexpr int StallMs = 5000;

// Runs the event loop until `done()`; false when `progress()` stayed the same for StallMs.
bool waitUntil(const std::function<bool()>& done, const std::function<double()>& progress);

}  // namespace mirel
