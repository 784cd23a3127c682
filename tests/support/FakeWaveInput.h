#pragma once
// A scripted audio input for tests: the test decides which devices exist, which formats open,
// which calls fail, when the queued buffer comes back full and whether a reset returns it.

#include "capture/WaveInput.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mirel::test {

struct FakeDevice {
    std::string name;
    bool readable = true;  // false: its capabilities cannot be read
    int maxRate = 48000;   // opens any rate up to this (0: refuses every rate)
};

class FakeWaveInput : public WaveInput {
public:
    std::vector<FakeDevice> devices{{"Fake card"}};
    MMResult openResult = MMSYSERR_NOERROR;
    MMResult prepareResult = MMSYSERR_NOERROR;
    MMResult addResult = MMSYSERR_NOERROR;
    MMResult startResult = MMSYSERR_NOERROR;
    bool resetReturnsBuffer = true;
    // The stream reports itself failed (its device went away) once started.
    bool streamFailed = false;
    // Written into the header of the next completed buffer: frames lost before it.
    std::int64_t framesLostBefore = 0;

    // What happened, one word per platform call: "open", "prepare", "add", "start", "reset",
    // "unprepare", "close".
    std::vector<std::string> calls;
    int openHandles = 0;
    WaveFormat lastFormat;
    int lastDevice = -1;

    // Fills every queued buffer (byte i gets fill(i)) and posts it full to its receiver; false when
    // no buffer is queued. Several captures may be open at once, as on a real card.
    bool completeBuffer(const std::function<std::uint8_t(int)>& fill = {});
    // The same with the bytes of a prepared block (cut or padded with zeros to the buffer's size).
    bool completeBufferWith(const std::vector<std::uint8_t>& bytes);
    bool bufferQueued() const;

    int deviceCount() override;
    MMResult deviceName(int id, std::string& name) override;
    MMResult isFormatSupported(int id, const WaveFormat& format) override;
    MMResult open(std::unique_ptr<WaveInHandle>& handle, int id, const WaveFormat& format, QObject* receiver) override;
    std::string errorText(MMResult code) override;

private:
    class Handle;
    friend class Handle;
    std::vector<Handle*> open_;
};

}  // namespace mirel::test
