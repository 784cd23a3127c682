#pragma once
// The oscilloscope's settable controls by name and caption, and what each position of its
// sensitivity and time-base spinners means on a drawing surface of a given size.

#include "common/ControlMeaning.h"

namespace mirel::osc {

// The captions of every settable control; the spinners' positions as their labels read them on a
// surface of this size (volts and seconds per division).
ControlTable ControlMeanings(int surfaceWidth, int surfaceHeight);

}  // namespace mirel::osc
