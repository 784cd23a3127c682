#include "capture/TWaveRecorder.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <algorithm>
#include <chrono>
#include <utility>

namespace mirel {

namespace {

std::int64_t steadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

TWaveRecorder::TWaveRecorder(WaveInput& input, int stopTimeoutMs)
    : input_(input), stopTimeoutMs_(stopTimeoutMs), clock_(steadyMs)
{
    watchdog_.setInterval(WatchIntervalMs);
    QObject::connect(&watchdog_, &QTimer::timeout, [this] { WatchStream(); });
}

void TWaveRecorder::setClock(Clock clock)
{
    clock_ = clock ? std::move(clock) : Clock(steadyMs);
    lastBlockAt_ = clock_();
}

TWaveRecorder::~TWaveRecorder()
{
    DeviceLostChanged = nullptr;
    StopRecording();
}

bool TWaveRecorder::StartRecording(int deviceId, int channels, int sampleRate, int bitsPerSample, QObject* receiver,
                                   int framesPerBuffer, std::uint8_t** ownerSlot)
{
    if (Stopping)
        return false;
    if (Recording)
        StopRecording();
    WaveFormat format;
    format.channels = channels;
    format.samplesPerSec = sampleRate;
    format.bitsPerSample = bitsPerSample;
    wanted_ = Request{deviceId, format, receiver, framesPerBuffer, ownerSlot};
    LostFrames = 0;
    return open();
}

bool TWaveRecorder::open()
{
    ErrorText.clear();
    const Request& r = *wanted_;
    if (r.FramesPerBuffer <= 0 || r.Format.blockAlign() <= 0 || r.Format.samplesPerSec <= 0) {
        ErrorText = input_.errorText(MMSYSERR_INVALPARAM);
        return false;
    }

    if (const MMResult result = input_.open(Handle, r.DeviceId, r.Format, r.Receiver); result != MMSYSERR_NOERROR) {
        Handle.reset();
        ErrorText = input_.errorText(result);
        return false;
    }

    BufferBytes = r.Format.blockAlign() * r.FramesPerBuffer;
    Buffer.reset(new std::uint8_t[static_cast<size_t>(BufferBytes)]);
    Header = WaveHeader{};
    Header.data = Buffer.get();
    Header.bufferLength = BufferBytes;
    OwnerSlot = r.Slot;
    if (OwnerSlot)
        *OwnerSlot = Buffer.get();

    if (MMResult result = Handle->prepareHeader(Header); result != MMSYSERR_NOERROR) {
        failStart(result);
        return false;
    }
    if (MMResult result = Handle->addBuffer(Header); result != MMSYSERR_NOERROR) {
        failStart(result);
        return false;
    }

    Requeue = true;
    Recording = true;

    if (MMResult result = Handle->start(); result != MMSYSERR_NOERROR) {
        ErrorText = input_.errorText(result);
        // The buffer stays queued with the device until the next stop resets it; the window no
        // longer sees it.
        if (OwnerSlot)
            *OwnerSlot = nullptr;
        return false;
    }
    started_ = true;
    silenceLimitMs_ = std::max<std::int64_t>(MinSilenceMs, static_cast<std::int64_t>(SilentBlocks) * r.FramesPerBuffer *
                                                               1000 / r.Format.samplesPerSec);
    lastBlockAt_ = clock_();
    delivered_ = false;
    watchdog_.start();
    ErrorText.clear();
    return true;
}

void TWaveRecorder::failStart(MMResult result)
{
    ErrorText = input_.errorText(result);
    // Nothing is queued: close the device rather than leave it open for nobody.
    Handle->reset();
    Handle->unprepareHeader(Header);
    Handle->close();
    Handle.reset();
    releaseBuffer();
}

void TWaveRecorder::releaseBuffer()
{
    Buffer.reset();
    Header = WaveHeader{};
    if (OwnerSlot)
        *OwnerSlot = nullptr;
}

void TWaveRecorder::BufferDone(const WimDataEvent& message)
{
    if (!IsCurrent(message))
        return;
    LostFrames += message.header->framesLostBefore;
    lastBlockAt_ = clock_();
    delivered_ = true;
    // The last blocks of a stream that has failed may still come in; they bring no device back.
    if (!Handle->failed())
        setDeviceLost(false);
    if (Requeue)
        Handle->addBuffer(*message.header);  // a refused re-queue simply ends the flow of blocks
    else
        Requeue = true;  // tells the waiting stop that the buffer is back
}

bool TWaveRecorder::IsCurrent(const WimDataEvent& message) const
{
    return Handle && message.handleSerial == Handle->serial() && message.header == &Header;
}

void TWaveRecorder::StopRecording()
{
    if (Stopping)
        return;
    wanted_.reset();
    close();
}

void TWaveRecorder::close()
{
    if (Stopping)
        return;
    Stopping = true;
    Recording = false;
    if (!Requeue) {
        Stopping = false;
        return;
    }
    Requeue = false;

    // Let the block in flight finish and reach the window; any handler may run meanwhile. A
    // stream that cannot deliver any more is not waited for, nor one still silent after the usual
    // limit (the grace for a first block is for the watch, not worth a longer stop).
    if (QCoreApplication::instance() && !silentFor(silenceLimitMs_)) {
        QTimer StopTimer;
        StopTimer.setSingleShot(true);
        StopTimer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&StopTimer, &QTimer::timeout, [this] { TimedOut = true; });
        TimedOut = false;
        StopTimer.start(stopTimeoutMs_);
        while (!Requeue && !TimedOut && !DeviceLost)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    TimedOut = false;
    Requeue = false;
    watchdog_.stop();
    started_ = false;

    if (Handle) {
        Handle->reset();
        Handle->unprepareHeader(Header);
        Handle->close();
        Handle.reset();
    }
    releaseBuffer();
    Stopping = false;
}

bool TWaveRecorder::ReopenDue()
{
    return wanted_ && DeviceLost && !Stopping && stalled();
}

bool TWaveRecorder::Reopen()
{
    if (Stopping || !wanted_)
        return false;
    close();
    return open();
}

bool TWaveRecorder::stalled()
{
    // A failed stream counts at once; only the silence of a fresh one is given time.
    return silentFor(delivered_ ? silenceLimitMs_ : std::max<std::int64_t>(silenceLimitMs_, FirstBlockGraceMs));
}

bool TWaveRecorder::silentFor(std::int64_t limitMs)
{
    if (!Handle || !started_)
        return true;
    return Handle->failed() || clock_() - lastBlockAt_ >= limitMs;
}

void TWaveRecorder::WatchStream()
{
    if (started_ && !DeviceLost && stalled())
        setDeviceLost(true);
}

void TWaveRecorder::setDeviceLost(bool lost)
{
    if (DeviceLost == lost)
        return;
    DeviceLost = lost;
    if (DeviceLostChanged)
        DeviceLostChanged(lost);
}

}  // namespace mirel
