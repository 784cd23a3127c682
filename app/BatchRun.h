#pragma once
// Runs a subcommand (BatchCommandLine.h) without a window on screen and returns the exit status:
// 0 done, 1 the run or the writing failed, 2 a source or device that cannot be used; SIGINT,
// SIGTERM and SIGHUP end it with 128 plus the signal. Messages go to standard error; nothing is
// written on failure.

#include "app/BatchCommandLine.h"

namespace mirel {

// `argv0` is the program's name, for Qt.
int runBatch(const BatchCommand& command, char* argv0);

}  // namespace mirel
