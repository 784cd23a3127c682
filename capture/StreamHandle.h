#pragma once
// Common buffer logic of inputs whose frames come from another thread (a sound card's callback,
// the generator's or the file player's pacing thread). That thread only copies frames into the one
// queued buffer and posts the buffer when it is full; everything else runs on the UI thread.

#include "WaveInput.h"

#include <atomic>

namespace mirel {

class StreamHandle : public WaveInHandle {
public:
    StreamHandle(const WaveFormat& format, QObject* receiver);

    MMResult prepareHeader(WaveHeader& header) override;
    MMResult addBuffer(WaveHeader& header) override;
    MMResult start() override;
    MMResult reset() override;
    MMResult unprepareHeader(WaveHeader& header) override;
    MMResult close() override;

    const WaveFormat& format() const { return format_; }

protected:
    // Called from the source thread: appends whole frames to the queued buffer, posts it when full.
    // Frames that arrive while no buffer is queued are dropped.
    void pushFrames(const std::uint8_t* frames, int frameCount);

    // Start and stop the source thread; stopSource must return only when no pushFrames runs.
    virtual MMResult startSource() = 0;
    virtual void stopSource() = 0;

private:
    void post(WaveHeader* header);

    WaveFormat format_;
    QObject* receiver_;
    std::atomic<WaveHeader*> queued_{nullptr};
    bool started_ = false;
};

}  // namespace mirel
