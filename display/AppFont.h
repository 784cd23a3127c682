#pragma once
// The one place that chooses the program's fonts.

#include <QFont>

namespace mirel {

// Font of the windows and their controls: a sans-serif face with Cyrillic, 11 pixels high
// (8 points at 96 dots per inch).
QFont appFont();

// Font of the texts drawn on the displays: the window font, normal or bold, drawn without
// antialiasing so that a text drawn again in the background colour leaves nothing behind.
QFont displayFont(bool bold);

}  // namespace mirel
