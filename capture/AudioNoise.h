#pragma once
// The sound libraries under PortAudio (ALSA, JACK) print their start-up findings to stderr: every
// device that cannot be opened, every server that is not running. None of it is an error of ours,
// and it buries the program's own messages, so it is kept off the terminal.

namespace mirel {

// Installs a silent ALSA error handler and keeps JACK from starting a server of its own. Call it
// before the audio library is initialised; calling it again does nothing more.
void quietAudioLibraries();

// While alive, the process's stderr (fd 2) goes to /dev/null; the previous stderr comes back when
// it ends. Meant only for the short span of a library's initialisation: messages of other threads
// during that span are lost too. Does nothing where there are no POSIX file descriptors.
class StderrMuted {
public:
    StderrMuted();
    ~StderrMuted();
    StderrMuted(const StderrMuted&) = delete;
    StderrMuted& operator=(const StderrMuted&) = delete;

private:
    int saved_ = -1;
};

}  // namespace mirel
