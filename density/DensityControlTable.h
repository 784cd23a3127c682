#pragma once
// The density display's settable controls by name and caption, and what each position of its scale
// and refresh-rate track bars means.

#include "common/ControlMeaning.h"

namespace mirel::pv {

// The captions of every settable control; the scales' positions as the density per division their
// labels show, the refresh rate's as blocks per second.
ControlTable ControlMeanings();

}  // namespace mirel::pv
