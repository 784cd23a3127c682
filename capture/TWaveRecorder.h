#pragma once
// The capture engine: one device, one buffer. The buffer is queued, comes back full to the
// receiving window as a WimDataEvent, and is queued again when the window calls BufferDone. The
// input keeps the frames that arrive meanwhile, so consecutive blocks continue each other.
//
// It also watches the stream: one that has failed, or has brought no block for the longer of 1 s
// and three block durations, marks the device as lost until a block arrives again (the last
// blocks a failed stream still posted do not count). A stream just opened has longer for its
// first block (a sound server may start delivering only seconds later). Reopen() opens the same
// device anew with the same parameters; the owning window calls it while it waits.

#include "capture/WaveInput.h"

#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QObject;

namespace mirel {

class TWaveRecorder {
public:
    static constexpr int DefaultStopTimeoutMs = 3000;
    static constexpr int MinSilenceMs = 1000;
    static constexpr int SilentBlocks = 3;
    static constexpr int WatchIntervalMs = 100;
    // How long a stream just opened may take for its first block before it counts as lost.
    static constexpr int FirstBlockGraceMs = 3000;

    // Milliseconds on a steady clock; a test puts in one it moves by hand.
    using Clock = std::function<std::int64_t()>;

    // `stopTimeoutMs`: how long a stop waits at most for the block in flight.
    explicit TWaveRecorder(WaveInput& input, int stopTimeoutMs = DefaultStopTimeoutMs);
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

    // True while the owner wants a capture whose device is lost and whose last attempt has had its
    // time: the moment for Reopen().
    bool ReopenDue();
    // Closes what is left of the capture at once and opens the same device again with the
    // parameters of the last StartRecording; the owner's slot follows the new buffer.
    bool Reopen();

    // Looks at the stream now, as the watchdog does every WatchIntervalMs.
    void WatchStream();

    void setClock(Clock clock);
    void setStopTimeout(int ms) { stopTimeoutMs_ = ms; }
    int stopTimeout() const { return stopTimeoutMs_; }

    int BufferBytes = 0;
    bool Requeue = false;
    bool Recording = false;
    bool Stopping = false;
    std::string ErrorText;
    // The device stopped delivering; cleared by the next block of a stream that has not failed.
    bool DeviceLost = false;
    // Frames of the signal that fell between blocks since the last StartRecording.
    std::int64_t LostFrames = 0;
    // Called with the new value whenever DeviceLost changes.
    std::function<void(bool lost)> DeviceLostChanged;

private:
    struct Request {
        int DeviceId;
        WaveFormat Format;
        QObject* Receiver;
        int FramesPerBuffer;
        std::uint8_t** Slot;
    };

    bool open();
    void close();
    void failStart(MMResult result);
    void releaseBuffer();
    // The stream cannot deliver: not running, failed, or silent for too long (its first block
    // given the grace).
    bool stalled();
    // Not running, failed, or silent for `limitMs` since the last block or the start.
    bool silentFor(std::int64_t limitMs);
    void setDeviceLost(bool lost);

    WaveInput& input_;
    int stopTimeoutMs_;
    std::optional<Request> wanted_;  // the capture the owner asked for and has not stopped
    std::unique_ptr<WaveInHandle> Handle;
    std::unique_ptr<std::uint8_t[]> Buffer;
    std::uint8_t** OwnerSlot = nullptr;
    WaveHeader Header;
    bool TimedOut = false;
    bool started_ = false;  // the device was started and not reset since
    QTimer watchdog_;
    Clock clock_;
    std::int64_t lastBlockAt_ = 0;  // on clock_: the last block, or the start while none came
    bool delivered_ = false;        // a block arrived since the stream was opened
    std::int64_t silenceLimitMs_ = MinSilenceMs;
};

}  // namespace mirel
