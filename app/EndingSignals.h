#pragma once
// The signals that end a headless run early (Ctrl+C, kill, a closed terminal): the temporary files
// being written go, the targets stay as they were, and the exit status is 128 plus the signal.

namespace mirel {

// Installs the handler for SIGINT, SIGTERM and SIGHUP, each with a one-line message on stderr. A
// signal the caller has set to be ignored (nohup, a script's background job) stays ignored.
void CatchEndingSignals();

}  // namespace mirel
