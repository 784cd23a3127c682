#pragma once
// The device list the program offers: the sound cards first, then the built-in generator when the
// command line asks for it, then the audio file when one is named; and the capture rate of each.

#include "app/CommandLine.h"
#include "capture/CompositeWaveInput.h"

#include <memory>
#include <string>

namespace mirel {

// Returns nullptr and a sentence in `error` when the audio file cannot be opened; the file is
// checked before the sound cards are looked for, so a wrong name fails fast. Without
// `withSoundCards` the list holds only what the command line adds.
std::unique_ptr<CompositeWaveInput> buildInput(const CommandLine& options, std::string& error,
                                               bool withSoundCards = true);

// The instruments capture at most at this rate, whatever a device offers.
inline constexpr int MaxCaptureRate = 48000;

// The highest rate in whole thousands, from 100000 Hz down to 1000 Hz, at which device `id` opens
// for 16-bit stereo capture; 0 when it opens at none of them.
int highestSupportedRate(WaveInput& input, int id);
// The rate the instruments capture device `id` at: a recording's own rate when it is at most
// MaxCaptureRate, else the highest supported, at most MaxCaptureRate.
int captureRate(WaveInput& input, int id);

// What --list-devices prints: a line per device whose name can be read, "N: NAME  RATE Гц", N
// counting from 1 as the launcher's list does, RATE the capture rate ("запись невозможна" when none).
std::string deviceListText(WaveInput& input);

// The terminal's line when there is no sound card: the ways to start without one.
std::string noSoundCardText();

}  // namespace mirel
