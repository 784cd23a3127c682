#pragma once
// The command lines that measure without a window:
//
//   mirel snapshot oscilloscope|spectrum|density|transfer SOURCE [--rate HZ] [--set CONTROL=VALUE]...
//                  [--size WxH] [--scheme white|black] [--blocks N] [--no-band] --output FILE
//   mirel measure statistics SOURCE [--rate HZ] --duration SECONDS --output FILE
//   mirel measure readings SOURCE --instrument oscilloscope|spectrum|density [--rate HZ]
//                  [--set CONTROL=VALUE]... [--blocks N] --output FILE
//   mirel measure transfer SOURCE [--rate HZ] [--set CONTROL=VALUE]... [--blocks N] --output FILE
//   SOURCE := --input AUDIOFILE | --generator SPEC | --device NAME-OR-NUMBER
//                  [--play SPEC [--play-device NAME-OR-NUMBER]]
//
// --play, only with a sound card's input, plays the generator's SPEC on an output device (the
// default output unless --play-device names one) while the command records.
//
// Read apart from the window options so that each parser stays short; parseCommandLine hands the
// words over when the first one names a subcommand.

#include "capture/SignalSpec.h"

#include <string>
#include <utility>
#include <vector>

namespace mirel {

// --blocks of the transfer function when none is given: as many results as its average holds at first.
inline constexpr int TransferResultsByDefault = 16;

struct BatchCommand {
    std::string command;     // "snapshot" or "measure"; empty when the words name no subcommand
    std::string instrument;  // "oscilloscope", "spectrum", "density", "transfer", "statistics" or "readings"
    std::string inputFile;   // --input
    bool generator = false;  // --generator
    GeneratorSpec generatorSpec = GeneratorSpec::defaults();
    std::string device;    // --device: a number of the device list or a device's name
    int rate = 0;          // --rate; 0: the highest the device offers, at most 48000 Hz
    std::string duration;  // --duration: whole seconds, as typed into the run-length box
    std::string output;
    bool play = false;       // --play
    GeneratorSpec playSpec;  // a channel --play does not name stays silent
    std::string playDevice;  // --play-device: a number of the output list or a name; empty: the default

    std::string measured;  // measure readings: the window --instrument names

    // snapshot, and measure readings and transfer for the first two and --blocks (for the transfer
    // function a block is one of its results)
    std::vector<std::pair<std::string, std::string>> settings;  // --set CONTROL=VALUE, in order
    int width = 0;                                              // --size; 0: the window's smallest size
    int height = 0;
    bool blackScheme = false;  // --scheme black
    int blocks = 1;
    bool band = true;  // false with --no-band

    std::string error;  // not empty when the command line is wrong
};

// Whether `word` starts a subcommand.
bool isBatchCommand(const std::string& word);

// `arguments` are the words after the program name, the subcommand first.
BatchCommand parseBatchCommand(const std::vector<std::string>& arguments);

}  // namespace mirel
