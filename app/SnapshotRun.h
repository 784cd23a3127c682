#pragma once
// The subcommands of the graphical windows: an instrument window, not shown on a screen, set by the
// command line, lets a number of blocks through and saves what its display shows or what it measured.

#include "app/BatchCommandLine.h"

namespace mirel {

class WaveInput;

// Runs with a QApplication in place; the exit status (BatchRun.h).
int takeSnapshot(const BatchCommand& command, WaveInput& input, int device, int rate);

// The measure readings subcommand: the window `command.measured` names, set and run the same way,
// measures each shown channel of each block; the rows go to `command.output` as CSV.
int measureReadings(const BatchCommand& command, WaveInput& input, int device, int rate);

// The measure transfer subcommand: the transfer function's window, set and run the same way, writes
// its averaged result after `command.blocks` results as CSV; with --set delay=1 it then finds the
// delay, prints it on stdout, takes it out and measures `command.blocks` results again.
int measureTransfer(const BatchCommand& command, WaveInput& input, int device, int rate);

// Whether `output` names a file type a snapshot writes (.png, .bmp, .jpg, .csv).
bool snapshotTypeKnown(const std::string& output);

}  // namespace mirel
