#pragma once
// The program once its inputs are known: creates the windows and runs the event loop until the
// program ends. Called with a QApplication in place; returns the exit code.

namespace mirel {

class WaveInput;

int runApplication(WaveInput& input);

}  // namespace mirel
