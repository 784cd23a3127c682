#include "TWaveRecorder.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace mirel {

TWaveRecorder::TWaveRecorder(WaveInput& input) : input_(input) {}

TWaveRecorder::~TWaveRecorder()
{
    StopRecording();
}

bool TWaveRecorder::StartRecording(int deviceId, int channels, int sampleRate, int bitsPerSample,
                                   QObject* receiver, int framesPerBuffer, std::uint8_t** ownerSlot)
{
    if (Stopping)
        return false;
    if (Recording)
        StopRecording();
    ErrorText.clear();

    WaveFormat format;
    format.channels = channels;
    format.samplesPerSec = sampleRate;
    format.bitsPerSample = bitsPerSample;
    if (framesPerBuffer <= 0 || format.blockAlign() <= 0) {
        ErrorText = input_.errorText(MMSYSERR_INVALPARAM);
        return false;
    }

    if (const MMResult result = input_.open(Handle, deviceId, format, receiver); result != MMSYSERR_NOERROR) {
        Handle.reset();
        ErrorText = input_.errorText(result);
        return false;
    }

    BufferBytes = format.blockAlign() * framesPerBuffer;
    Buffer.reset(new std::uint8_t[static_cast<size_t>(BufferBytes)]);
    Header = WaveHeader{};
    Header.data = Buffer.get();
    Header.bufferLength = BufferBytes;
    OwnerSlot = ownerSlot;
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
    Stopping = true;
    Recording = false;
    if (!Requeue) {
        Stopping = false;
        return;
    }
    Requeue = false;

    if (QCoreApplication::instance()) {
        // Let the block in flight finish and reach the window; any handler may run meanwhile.
        QTimer StopTimer;
        StopTimer.setSingleShot(true);
        StopTimer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&StopTimer, &QTimer::timeout, [this] { TimedOut = true; });
        TimedOut = false;
        StopTimer.start(StopTimeoutMs);
        while (!Requeue && !TimedOut)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    TimedOut = false;
    Requeue = false;

    if (Handle) {
        Handle->reset();
        Handle->unprepareHeader(Header);
        Handle->close();
        Handle.reset();
    }
    releaseBuffer();
    Stopping = false;
}

}  // namespace mirel
