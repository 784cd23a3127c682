#pragma once
// The built-in test-signal generator, offered as one more input device. It behaves like a sound
// card: once started it produces frames at the sample rate in real time, whether or not a buffer is
// queued, so the signal runs on between blocks exactly as a real input would.

#include "capture/SignalSpec.h"
#include "capture/StreamHandle.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace mirel {

// A stream whose frames are computed rather than captured: a thread of its own wakes every few
// milliseconds, asks for the frames that became due by the steady clock and pushes them; unpaced,
// it fills each queued buffer at once, so that consecutive blocks follow each other without a gap
// as fast as they are taken. Used by the generator and the file player. A subclass must call
// stopPacing() in its destructor, before its own members go away.
class PacedStreamHandle : public StreamHandle {
public:
    PacedStreamHandle(const WaveFormat& format, QObject* receiver);
    ~PacedStreamHandle() override;

    // Before the start only.
    void setUnpaced(bool unpaced) { unpaced_ = unpaced; }

protected:
    // Runs on the pacing thread: writes `count` frames in format() layout to `out`. Frames are
    // asked for in order, without gaps; `first` counts frames since the stream started.
    virtual void produce(std::int64_t first, int count, std::uint8_t* out) = 0;

    // Writes one frame of channel A and B values in volts (1 V = full scale, clipped beyond).
    static void storeFrame(std::uint8_t* out, int bitsPerSample, double a, double b);

    MMResult startSource() override;
    void stopSource() override;
    void bufferQueued() override;
    void stopPacing();

private:
    void run();
    void runUnpaced();

    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopRequested_ = false;
    bool unpaced_ = false;
    std::int64_t produced_ = 0;  // frames produced since the stream was created
    int chunkFrames_;
    std::vector<std::uint8_t> chunk_;  // allocated once, reused for every push
};

class GeneratorInput : public WaveInput {
public:
    static constexpr const char* DeviceName = "Генератор (демо)";
    static constexpr int MinRate = 1000;
    static constexpr int MaxRate = 100000;

    explicit GeneratorInput(const GeneratorSpec& spec = GeneratorSpec::defaults());

    const GeneratorSpec& spec() const { return spec_; }

    int deviceCount() override;
    MMResult deviceName(int id, std::string& name) override;
    MMResult isFormatSupported(int id, const WaveFormat& format) override;
    MMResult open(std::unique_ptr<WaveInHandle>& handle, int id, const WaveFormat& format, QObject* receiver) override;
    std::string errorText(MMResult code) override;

    // Captures opened from now on deliver their frames as fast as they are taken, not in real time.
    void setUnpaced(bool unpaced) { unpaced_ = unpaced; }

private:
    GeneratorSpec spec_;
    bool unpaced_ = false;
};

}  // namespace mirel
