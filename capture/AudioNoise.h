#pragma once
// The sound libraries under PortAudio (PortAudio itself, ALSA, JACK, the PulseAudio client) print
// their findings to stderr: every device that cannot be opened, every server that is not running,
// every failed call when a device goes away mid-stream, from their own threads too. None of it is
// an error of ours, and it buries the program's own messages, so it is kept off the terminal.

namespace mirel {

// Installs a silent ALSA error handler, keeps JACK from starting a server of its own, and sends
// what the libraries write to the C stream `stderr` nowhere. The program's own messages still
// reach the terminal: std::cerr, Qt's messages, the reason for an abnormal end, and the reports of
// the sanitizers, which write to the file descriptor itself. Call it before the audio library is
// initialised; calling it again does nothing more.
void quietAudioLibraries();

}  // namespace mirel
