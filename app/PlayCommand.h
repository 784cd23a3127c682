#pragma once
// The generator on a sound card's output from a script:
//
//   mirel play SPEC [--device NAME-OR-NUMBER] [--duration SECONDS]
//
// and what the other commands share of the output: finding and starting an output device for
// --play, and the output devices' lines of --list-devices.

#include "capture/SignalSpec.h"

#include <string>
#include <vector>

namespace mirel {

class SignalPlayer;

struct PlayCommand {
    GeneratorSpec spec;     // a channel the command does not name stays silent
    std::string device;     // --device: a number of the output list or a name; empty: the default output
    double duration = 0.0;  // --duration in seconds; 0: until SIGINT or SIGTERM
    std::string error;      // not empty when the command line is wrong
};

// Whether `word` starts the play command.
bool isPlayCommand(const std::string& word);

// `arguments` are the words after the program name, "play" first.
PlayCommand parsePlayCommand(const std::vector<std::string>& arguments);

// Plays until the duration ends or a signal asks to stop; 0 then, 1 when the output device cannot
// be found or opened or is lost while playing. Messages go to standard error.
int runPlay(const PlayCommand& command);

// Starts `player` with `spec` on the output device `device` names (its number in the output list
// or its name; the default output when empty), at `rate` when the device offers it. False and a
// sentence in `error` when there is no such device or it does not play.
bool startOutput(SignalPlayer& player, const std::string& device, const GeneratorSpec& spec, int rate,
                 std::string& error);

// The output devices' lines of --list-devices: "вывод N: NAME  RATE Гц", N counting from 1 as
// --device of play and --play-device take it, the default output marked.
std::string outputDeviceListText(const SignalPlayer& player);

}  // namespace mirel
