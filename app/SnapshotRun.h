#pragma once
// The snapshot subcommand: a graphical instrument window, not shown on a screen, set by the command
// line, lets a number of blocks through and saves what its display shows.

#include "app/BatchCommandLine.h"

namespace mirel {

class WaveInput;

// Runs with a QApplication in place; the exit status (BatchRun.h).
int takeSnapshot(const BatchCommand& command, WaveInput& input, int device, int rate);

// Whether `output` names a file type a snapshot writes (.png, .bmp, .jpg, .csv).
bool snapshotTypeKnown(const std::string& output);

}  // namespace mirel
