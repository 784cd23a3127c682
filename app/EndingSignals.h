#pragma once
// The signals that end a headless run early (Ctrl+C, kill, a closed terminal): the temporary files
// being written go, the targets stay as they were, and the exit status is 128 plus the signal. A
// run that is meant to last until such a signal (play) only notes it and ends by itself.

namespace mirel {

// Installs the handler for SIGINT, SIGTERM and SIGHUP, each with a one-line message on stderr. A
// signal the caller has set to be ignored (nohup, a script's background job) stays ignored.
void CatchEndingSignals();

// Instead: SIGINT, SIGTERM and SIGHUP only ask the run to stop, which StopRequested() then tells;
// ignored signals stay ignored as above.
void CatchStopSignals();
bool StopRequested();

}  // namespace mirel
