#include "capture/WaveInput.h"

#include <atomic>

namespace mirel {

namespace {
std::atomic<std::uint64_t> nextHandleSerial{1};
}

WaveInHandle::WaveInHandle() : serial_(nextHandleSerial.fetch_add(1)) {}

std::string standardErrorText(MMResult code)
{
    switch (code) {
    case MMSYSERR_NOERROR: return "The command completed successfully.";
    case MMSYSERR_ERROR: return "Unspecified error.";
    case MMSYSERR_BADDEVICEID: return "The device identifier is out of range.";
    case MMSYSERR_ALLOCATED: return "The device is already in use.";
    case MMSYSERR_INVALHANDLE: return "The device handle is invalid.";
    case MMSYSERR_NODRIVER: return "No device driver is present.";
    case MMSYSERR_NOMEM: return "Unable to allocate or lock memory.";
    case MMSYSERR_INVALPARAM: return "An invalid parameter was passed.";
    case WAVERR_BADFORMAT: return "The device does not support the requested sample format.";
    case WAVERR_STILLPLAYING: return "A buffer is still in the queue.";
    case WAVERR_UNPREPARED: return "The buffer header has not been prepared.";
    default: return "Unknown error " + std::to_string(code) + ".";
    }
}

}  // namespace mirel
