#pragma once
// The capture engine: one device, one buffer. The buffer is queued, comes back full to the
// receiving window as a WimDataEvent, and is queued again when the window calls BufferDone.
// Because it is queued again only after the window dealt with it, blocks are separate snapshots.

#include "WaveInput.h"

#include <cstdint>
#include <memory>
#include <string>

class QObject;

namespace mirel {

class TWaveRecorder {
public:
    static constexpr int StopTimeoutMs = 3000;

    explicit TWaveRecorder(WaveInput& input);
    ~TWaveRecorder();
    TWaveRecorder(const TWaveRecorder&) = delete;
    TWaveRecorder& operator=(const TWaveRecorder&) = delete;

    bool StartRecording(int deviceId, int channels, int sampleRate, int bitsPerSample, QObject* receiver,
                        int framesPerBuffer, std::uint8_t** ownerSlot);
    void StopRecording();
    void BufferDone(const WimDataEvent& message);

    // True when `message` belongs to the capture now open; a notification that arrives after its
    // capture was stopped (a stop that timed out) is stale and must not be touched.
    bool IsCurrent(const WimDataEvent& message) const;

    int BufferBytes = 0;
    bool Requeue = false;
    bool Recording = false;
    bool Stopping = false;
    std::string ErrorText;

private:
    void failStart(MMResult result);
    void releaseBuffer();

    WaveInput& input_;
    std::unique_ptr<WaveInHandle> Handle;
    std::unique_ptr<std::uint8_t[]> Buffer;
    std::uint8_t** OwnerSlot = nullptr;
    WaveHeader Header;
    bool TimedOut = false;
};

}  // namespace mirel
