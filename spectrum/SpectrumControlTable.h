#pragma once
// The spectrum analyser's settable controls by name and caption, and what each position of its
// scale, band and accuracy track bars means.

#include "common/ControlMeaning.h"

namespace mirel::spectrum {

// The captions of every settable control; the scales' positions for the spectrum kind shown (the
// full height, and a twentieth of it per division), the band's edges that lie at or below half of
// `sampleRate`, and the transform length of each accuracy.
ControlTable ControlMeanings(int sampleRate, bool amplitudeMode);

}  // namespace mirel::spectrum
