#pragma once
// Plays the generator's signals on a sound card's output through a PortAudio output stream of its
// own, independent of the capture: A on the left output, B on the right. The callback only renders
// the current StereoSource; a new signal is handed over through an atomic pointer and faded in
// across one callback block, so a change while playing makes neither a gap nor a click.

#include "capture/SignalSource.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace mirel {

struct OutputDevice {
    std::string Name;
    bool IsDefault = false;
};

class SignalPlayer {
public:
    // Initialises PortAudio (its own reference); without it the player lists no devices.
    SignalPlayer();
    ~SignalPlayer();  // stops playing
    SignalPlayer(const SignalPlayer&) = delete;
    SignalPlayer& operator=(const SignalPlayer&) = delete;

    // PortAudio's output devices: the default output first, then the others in PortAudio's order.
    // A device number below is an index into this list. Only devices with two outputs or more.
    const std::vector<OutputDevice>& devices() const;
    // The device number of a name (exact, else the only device whose name contains it) or of the
    // device's number as the device list shows it, counting from 1; -1 when there is none.
    int findDevice(const std::string& nameOrNumber) const;
    // The rate device `device` would play at: `preferredRate` when it offers it, else the highest
    // of the usual rates up to 48000 Hz; 0 when it plays stereo at none.
    int outputRate(int device, int preferredRate = 0) const;

    // Opens device `device` and starts playing `spec`, at `preferredRate` when the device offers it,
    // else at its highest rate up to 48000 Hz. Returns false and a Russian sentence in `error` when
    // the device cannot play. Returns once the first callback has run (or after a second at most),
    // so that a capture started afterwards records what is played.
    bool start(int device, const GeneratorSpec& spec, int preferredRate, std::string& error);
    void stop();
    // Started and not stopped since, also while the stream is lost.
    bool playing() const;

    // Plays `spec` from the next callback on; while stopped, only remembered for the next start.
    void setSpec(const GeneratorSpec& spec);
    const GeneratorSpec& spec() const;

    int sampleRate() const;          // of the stream playing, 0 when stopped
    int device() const;              // the number of the device playing or last played, -1 before
    std::int64_t underruns() const;  // callbacks PortAudio marked as an output underflow
    // Both counts are those of the last start, kept after a stop.
    std::int64_t framesPlayed() const;
    // The stream stopped by itself (its device went away); stop() or a new start() clears it.
    bool lost() const;

private:
    struct Stream;
    std::unique_ptr<Stream> stream_;
    std::vector<OutputDevice> devices_;
    std::vector<int> paIndex_;  // PortAudio's index of each device number
    GeneratorSpec spec_;
    bool initialised_ = false;
    int device_ = -1;
    std::uint32_t seed_ = 0;  // a new noise sequence for every stream
    std::int64_t lastUnderruns_ = 0;
    std::int64_t lastFrames_ = 0;
};

}  // namespace mirel
