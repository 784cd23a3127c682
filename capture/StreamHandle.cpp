#include "StreamHandle.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstring>

namespace mirel {

StreamHandle::StreamHandle(const WaveFormat& format, QObject* receiver)
    : format_(format), receiver_(receiver)
{
}

MMResult StreamHandle::prepareHeader(WaveHeader& header)
{
    if (!header.data || header.bufferLength <= 0)
        return MMSYSERR_INVALPARAM;
    header.prepared = true;
    return MMSYSERR_NOERROR;
}

MMResult StreamHandle::addBuffer(WaveHeader& header)
{
    if (!header.prepared)
        return WAVERR_UNPREPARED;
    if (queued_.load(std::memory_order_acquire))
        return WAVERR_STILLPLAYING;  // one buffer at a time
    header.bytesRecorded = 0;
    queued_.store(&header, std::memory_order_release);
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
    if (WaveHeader* header = queued_.exchange(nullptr))
        post(header);
    return MMSYSERR_NOERROR;
}

MMResult StreamHandle::unprepareHeader(WaveHeader& header)
{
    if (queued_.load() == &header)
        return WAVERR_STILLPLAYING;
    header.prepared = false;
    return MMSYSERR_NOERROR;
}

MMResult StreamHandle::close()
{
    if (queued_.load())
        return WAVERR_STILLPLAYING;
    if (started_) {
        stopSource();
        started_ = false;
    }
    return MMSYSERR_NOERROR;
}

void StreamHandle::pushFrames(const std::uint8_t* frames, int frameCount)
{
    WaveHeader* header = queued_.load(std::memory_order_acquire);
    if (!header)
        return;
    const int frameBytes = format_.blockAlign();
    const int room = (header->bufferLength - header->bytesRecorded) / frameBytes;
    const int taken = std::min(room, frameCount);
    std::memcpy(header->data + header->bytesRecorded, frames, static_cast<size_t>(taken) * frameBytes);
    header->bytesRecorded += taken * frameBytes;
    if (header->bufferLength - header->bytesRecorded < frameBytes) {
        // Only this thread takes a queued buffer away while the source runs.
        queued_.store(nullptr, std::memory_order_release);
        post(header);
    }
}

void StreamHandle::post(WaveHeader* header)
{
    QCoreApplication::postEvent(receiver_, new WimDataEvent(serial(), header));
}

}  // namespace mirel
