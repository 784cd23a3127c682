#pragma once
// The program's command line:
//
//   mirel [--demo] [--generator SPEC] [--input FILE] [--list-devices] [--help] [--version]
//
// --list-devices prints the device list instead of opening the windows; --demo adds the built-in test-signal generator
// to the device list; --generator SPEC adds it too, playing SPEC (see SignalSpec.h for the grammar); --input FILE adds
// an audio file that is played in a loop. Options that take a value accept it as the next argument or after "=".

#include "capture/SignalSpec.h"

#include <string>
#include <vector>

namespace mirel {

struct CommandLine {
    bool help = false;
    bool version = false;
    bool listDevices = false;
    bool generator = false;  // --demo or --generator: offer the generator
    GeneratorSpec generatorSpec = GeneratorSpec::defaults();
    std::string inputFile;  // --input: empty when none
    // The file and the generator deliver as fast as their blocks are taken (measuring without a
    // window); not an option of the windows.
    bool unpaced = false;

    // Not empty when the command line is wrong: a sentence naming what is wrong.
    std::string error;
};

// `arguments` are the words after the program name.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);
CommandLine parseCommandLine(int argc, const char* const* argv);

// What --help and --version print, each ending with a newline.
std::string helpText();
std::string versionText();

}  // namespace mirel
