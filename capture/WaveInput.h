#pragma once
// The platform seam of sound capture: what the capture engine needs of an audio input.
// Modelled on a classic wave-input interface: result codes (0 = success), one open handle per
// capture, buffers described by headers that come back full as a posted event on the UI thread.

#include <QEvent>
#include <cstdint>
#include <memory>
#include <string>

class QObject;

namespace mirel {

using MMResult = int;

// Result codes; the numbers follow the classic wave-input ones so that texts stay recognisable.
enum : MMResult {
    MMSYSERR_NOERROR = 0,
    MMSYSERR_ERROR = 1,
    MMSYSERR_BADDEVICEID = 2,
    MMSYSERR_ALLOCATED = 4,
    MMSYSERR_INVALHANDLE = 5,
    MMSYSERR_NODRIVER = 6,
    MMSYSERR_NOMEM = 7,
    MMSYSERR_INVALPARAM = 11,
    WAVERR_BADFORMAT = 32,
    WAVERR_STILLPLAYING = 33,
    WAVERR_UNPREPARED = 34,
};

// Two-channel PCM: 16-bit signed little-endian or 8-bit unsigned (silence 128), channel A first.
struct WaveFormat {
    int channels = 2;
    int samplesPerSec = 0;
    int bitsPerSample = 16;

    int blockAlign() const { return channels * (bitsPerSample / 8); }
    int avgBytesPerSec() const { return blockAlign() * samplesPerSec; }
};

// Describes the one capture buffer. `bytesRecorded` and `framesLostBefore` are written by the
// input while the buffer is queued and read on the UI thread after the buffer came back.
struct WaveHeader {
    std::uint8_t* data = nullptr;
    int bufferLength = 0;
    int bytesRecorded = 0;
    // Frames of the signal that the input could not keep between the previous block and this one
    // (the window held the buffer longer than the input could hold what arrived); 0 when the
    // blocks are contiguous.
    std::int64_t framesLostBefore = 0;
    bool prepared = false;
};

// An open capture device. Every handle has a serial number unique for the program's life, so that
// a notification that arrives after its handle was closed can be recognised as stale.
class WaveInHandle {
public:
    WaveInHandle();
    virtual ~WaveInHandle() = default;
    WaveInHandle(const WaveInHandle&) = delete;
    WaveInHandle& operator=(const WaveInHandle&) = delete;

    std::uint64_t serial() const { return serial_; }

    virtual MMResult prepareHeader(WaveHeader& header) = 0;
    // Queues the buffer; it comes back full as a WimDataEvent posted to the receiver.
    virtual MMResult addBuffer(WaveHeader& header) = 0;
    virtual MMResult start() = 0;
    // Stops capture and returns a queued buffer (with the frames recorded so far) as an event.
    virtual MMResult reset() = 0;
    virtual MMResult unprepareHeader(WaveHeader& header) = 0;
    virtual MMResult close() = 0;

    // True once a started stream has ended by itself or reported an error (the device went away):
    // no more buffers will come back full.
    virtual bool failed() { return false; }

private:
    std::uint64_t serial_;
};

// The list of input devices and the way to open one.
class WaveInput {
public:
    virtual ~WaveInput() = default;

    virtual int deviceCount() = 0;
    // The product name of device `id`; a non-zero result means its capabilities cannot be read.
    virtual MMResult deviceName(int id, std::string& name) = 0;
    // Zero when device `id` would open for capture in `format`.
    virtual MMResult isFormatSupported(int id, const WaveFormat& format) = 0;
    // The rate at which device `id`'s signal was made, when it has one of its own (a recording);
    // 0 for a device that captures at whichever rate it is asked.
    virtual int ownRate(int /*id*/) { return 0; }
    // Opens device `id`; filled buffers are posted to `receiver` as WimDataEvent.
    virtual MMResult open(std::unique_ptr<WaveInHandle>& handle, int id, const WaveFormat& format,
                          QObject* receiver) = 0;
    virtual std::string errorText(MMResult code) = 0;
};

// Texts for the result codes, used by every input for the codes it shares.
std::string standardErrorText(MMResult code);

// The filled-buffer notification (MM_WIM_DATA): posted by an input, handled on the UI thread.
class WimDataEvent : public QEvent {
public:
    static constexpr int MM_WIM_DATA = 0x3C0;
    static QEvent::Type eventType() { return static_cast<QEvent::Type>(QEvent::User + MM_WIM_DATA); }

    WimDataEvent(std::uint64_t handleSerial, WaveHeader* header)
        : QEvent(eventType()), handleSerial(handleSerial), header(header)
    {
    }

    const std::uint64_t handleSerial;
    WaveHeader* const header;
};

}  // namespace mirel
