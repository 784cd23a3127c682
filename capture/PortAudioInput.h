#pragma once
// The sound cards, through PortAudio: every PortAudio device with at least one input channel, in
// PortAudio's order. Capture runs in PortAudio's callback, which only hands the frames to the one
// queued buffer (StreamHandle); the filled buffer reaches the receiver as a WimDataEvent.
//
// The input must outlive every handle it opened: PortAudio is shut down in its destructor.

#include "capture/WaveInput.h"

#include <string>
#include <vector>

struct PaStreamParameters;

namespace mirel {

class PortAudioInput : public WaveInput {
public:
    // Initialises PortAudio; when that fails the input lists no devices.
    PortAudioInput();
    ~PortAudioInput() override;
    PortAudioInput(const PortAudioInput&) = delete;
    PortAudioInput& operator=(const PortAudioInput&) = delete;

    int deviceCount() override;
    MMResult deviceName(int id, std::string& name) override;
    MMResult isFormatSupported(int id, const WaveFormat& format) override;
    MMResult open(std::unique_ptr<WaveInHandle>& handle, int id, const WaveFormat& format, QObject* receiver) override;
    std::string errorText(MMResult code) override;

    // Maps a PortAudio error (a PaError) to a result code and keeps PortAudio's own text for it,
    // so that errorText of that code tells what really happened.
    MMResult failure(int paError);

private:
    MMResult plain(MMResult code);
    // The stream parameters of device `id` in `format`, or why there are none.
    MMResult streamParameters(int id, const WaveFormat& format, PaStreamParameters& parameters);

    bool initialised_ = false;
    std::vector<int> devices_;  // PortAudio device index of each of our device ids
    MMResult lastCode_ = MMSYSERR_NOERROR;
    std::string lastText_;
};

}  // namespace mirel
