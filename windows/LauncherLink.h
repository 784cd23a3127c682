#pragma once
// What the launcher shares with the instrument windows: which instrument is wanted next, the size
// that one instrument window hands to the next, and the two colour schemes.

#include "common/DisplayPalette.h"

#include <functional>

namespace mirel {

// Instrument numbers; they are also the Tag values of the toolbar buttons.
enum InstrumentNumber : int {
    NoInstrument = 0,
    Oscilloscope = 1,
    Spectrum = 2,
    Density = 3,
    Statistics = 4,
    Transfer = 5,
    MainWindow = 10,  // the launcher itself
};

struct LauncherLink {
    int RequestedInstrument = NoInstrument;
    int CurrentInstrument = MainWindow;
    int InstrumentWidth = 0;
    int InstrumentHeight = 0;
    DisplayPalette WhiteScheme = mirel::WhiteScheme;
    DisplayPalette BlackScheme = mirel::BlackScheme;
    // Tells the application to end (closing an instrument window by its close box).
    std::function<void()> endApplication;
};

}  // namespace mirel
