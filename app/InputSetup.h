#pragma once
// The device list the program offers: the sound cards first, then the built-in generator when the
// command line asks for it, then the audio file when one is named.

#include "CommandLine.h"
#include "CompositeWaveInput.h"

#include <memory>
#include <string>

namespace mirel {

// Returns nullptr and a sentence in `error` when the audio file cannot be opened; the file is
// checked before the sound cards are looked for, so a wrong name fails fast. Without
// `withSoundCards` the list holds only what the command line adds.
std::unique_ptr<CompositeWaveInput> buildInput(const CommandLine& options, std::string& error,
                                               bool withSoundCards = true);

}  // namespace mirel
