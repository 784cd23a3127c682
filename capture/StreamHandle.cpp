#include "capture/StreamHandle.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstring>

namespace mirel {

StreamHandle::StreamHandle(const WaveFormat& format, QObject* receiver) : format_(format), receiver_(receiver) {}

MMResult StreamHandle::prepareHeader(WaveHeader& header)
{
    if (!header.data || header.bufferLength <= 0)
        return MMSYSERR_INVALPARAM;
    const size_t frameBytes = static_cast<size_t>(std::max(format_.blockAlign(), 1));
    const size_t minimum = static_cast<size_t>(std::max(format_.samplesPerSec, 0)) * MinHeldMs / 1000 * frameBytes;
    const size_t capacity = std::max(static_cast<size_t>(header.bufferLength), minimum);
    {
        std::lock_guard lock(mutex_);
        if (held_.size() != capacity) {
            try {
                held_.assign(capacity, 0);
            } catch (const std::bad_alloc&) {
                return MMSYSERR_NOMEM;
            }
        }
        heldBytes_ = 0;
    }
    header.prepared = true;
    return MMSYSERR_NOERROR;
}

MMResult StreamHandle::addBuffer(WaveHeader& header)
{
    if (!header.prepared)
        return WAVERR_UNPREPARED;
    bool full = false;
    {
        std::lock_guard lock(mutex_);
        if (queued_)
            return WAVERR_STILLPLAYING;  // one buffer at a time
        // The frames held while the buffer was away open it; the rest waits for the next time.
        const int taken = std::min(heldBytes_, header.bufferLength);
        std::memcpy(header.data, held_.data(), static_cast<size_t>(taken));
        std::memmove(held_.data(), held_.data() + taken, static_cast<size_t>(heldBytes_ - taken));
        heldBytes_ -= taken;
        header.bytesRecorded = taken;
        header.framesLostBefore = taken > 0 ? heldGap_ : gap_;
        if (taken > 0)
            heldGap_ = 0;
        else
            gap_ = 0;
        full = header.bufferLength - header.bytesRecorded < format_.blockAlign();
        if (!full)
            queued_ = &header;
    }
    if (full)
        post(&header);  // a whole block was waiting: it goes out at once
    else
        bufferQueued();
    return MMSYSERR_NOERROR;
}

MMResult StreamHandle::start()
{
    if (started_)
        return MMSYSERR_NOERROR;
    const MMResult result = startSource();
    started_ = result == MMSYSERR_NOERROR;
    return result;
}

MMResult StreamHandle::reset()
{
    if (started_) {
        stopSource();
        started_ = false;
    }
    WaveHeader* header = nullptr;
    {
        std::lock_guard lock(mutex_);
        header = std::exchange(queued_, nullptr);
        heldBytes_ = 0;
        heldGap_ = gap_ = 0;
    }
    if (header)
        post(header);
    return MMSYSERR_NOERROR;
}

MMResult StreamHandle::unprepareHeader(WaveHeader& header)
{
    std::lock_guard lock(mutex_);
    if (queued_ == &header)
        return WAVERR_STILLPLAYING;
    header.prepared = false;
    return MMSYSERR_NOERROR;
}

MMResult StreamHandle::close()
{
    {
        std::lock_guard lock(mutex_);
        if (queued_)
            return WAVERR_STILLPLAYING;
    }
    if (started_) {
        stopSource();
        started_ = false;
    }
    return MMSYSERR_NOERROR;
}

void StreamHandle::pushFrames(const std::uint8_t* frames, int frameCount)
{
    const int frameBytes = format_.blockAlign();
    WaveHeader* full = nullptr;
    {
        std::lock_guard lock(mutex_);
        if (WaveHeader* header = queued_) {
            // Held frames went into the buffer when it was queued, so these follow them.
            const int room = (header->bufferLength - header->bytesRecorded) / frameBytes;
            const int taken = std::min(room, frameCount);
            std::memcpy(header->data + header->bytesRecorded, frames, static_cast<size_t>(taken) * frameBytes);
            header->bytesRecorded += taken * frameBytes;
            frames += static_cast<size_t>(taken) * frameBytes;
            frameCount -= taken;
            if (header->bufferLength - header->bytesRecorded < frameBytes) {
                queued_ = nullptr;
                full = header;
            }
        }
        if (frameCount > 0)
            hold(frames, frameCount);
    }
    if (full)
        post(full);
}

void StreamHandle::hold(const std::uint8_t* frames, int frameCount)
{
    // Once frames were lost, the held ones must go out before more are held: a gap then only ever
    // lies before the first held frame, where it is counted against the block that begins there.
    if (gap_ > 0 && heldBytes_ > 0) {
        gap_ += frameCount;
        return;
    }
    const int frameBytes = format_.blockAlign();
    const int room = (static_cast<int>(held_.size()) - heldBytes_) / frameBytes;
    const int kept = std::min(room, frameCount);
    if (kept > 0) {
        if (heldBytes_ == 0) {
            heldGap_ = gap_;
            gap_ = 0;
        }
        std::memcpy(held_.data() + heldBytes_, frames, static_cast<size_t>(kept) * frameBytes);
        heldBytes_ += kept * frameBytes;
    }
    gap_ += frameCount - kept;
}

int StreamHandle::roomFrames()
{
    std::lock_guard lock(mutex_);
    return queued_ ? (queued_->bufferLength - queued_->bytesRecorded) / format_.blockAlign() : 0;
}

void StreamHandle::post(WaveHeader* header)
{
    QCoreApplication::postEvent(receiver_, new WimDataEvent(serial(), header));
}

}  // namespace mirel
