#pragma once
// Common buffer logic of inputs whose frames come from another thread (a sound card's callback,
// the generator's or the file player's pacing thread). That thread copies frames into the one
// queued buffer and posts the buffer when it is full. Frames that arrive while the buffer is away
// at the window are held back and open the buffer when it is queued again, so consecutive blocks
// are consecutive stretches of the signal. What is held is bounded, to one block or a tenth of a
// second, whichever is longer (sources deliver in pieces of up to a few hundredths of a second,
// longer than the shortest blocks); what does not fit is counted.

#include "capture/WaveInput.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace mirel {

class StreamHandle : public WaveInHandle {
public:
    static constexpr int MinHeldMs = 100;

    StreamHandle(const WaveFormat& format, QObject* receiver);

    MMResult prepareHeader(WaveHeader& header) override;
    MMResult addBuffer(WaveHeader& header) override;
    MMResult start() override;
    MMResult reset() override;
    MMResult unprepareHeader(WaveHeader& header) override;
    MMResult close() override;

    const WaveFormat& format() const { return format_; }

protected:
    // Called from the source thread: appends whole frames to the queued buffer and posts it when
    // full; frames beyond it, or that arrive while no buffer is queued, are held for the next one.
    void pushFrames(const std::uint8_t* frames, int frameCount);

    // Start and stop the source thread; stopSource must return only when no pushFrames runs.
    virtual MMResult startSource() = 0;
    virtual void stopSource() = 0;
    // Called on the UI thread once a buffer is queued.
    virtual void bufferQueued() {}
    // From the source thread: the frames the queued buffer still takes, 0 when none is queued.
    int roomFrames();

    bool started() const { return started_; }

private:
    void post(WaveHeader* header);
    // Appends to the held frames as much as fits, counts the rest as lost. Under mutex_. The held
    // frames are one unbroken stretch of the signal, with a gap at most before the first of them.
    void hold(const std::uint8_t* frames, int frameCount);

    WaveFormat format_;
    QObject* receiver_;
    bool started_ = false;

    // Shared by the source thread and the UI thread.
    std::mutex mutex_;
    WaveHeader* queued_ = nullptr;
    std::vector<std::uint8_t> held_;  // sized when the buffer is prepared
    int heldBytes_ = 0;
    std::int64_t heldGap_ = 0;  // frames lost just before the first held frame
    std::int64_t gap_ = 0;      // frames lost since the last frame that was kept
};

}  // namespace mirel
