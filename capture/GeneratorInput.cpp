#include "capture/GeneratorInput.h"

#include "capture/SignalSource.h"

#include <algorithm>
#include <chrono>
#include <new>
#include <system_error>

namespace mirel {

// ---- PacedStreamHandle ----

namespace {

constexpr auto PacingInterval = std::chrono::milliseconds(5);

bool formatAcceptable(const WaveFormat& format, int minRate, int maxRate)
{
    return format.channels == 2 && (format.bitsPerSample == 16 || format.bitsPerSample == 8) &&
           format.samplesPerSec >= minRate && format.samplesPerSec <= maxRate;
}

}  // namespace

PacedStreamHandle::PacedStreamHandle(const WaveFormat& format, QObject* receiver)
    : StreamHandle(format, receiver),
      chunkFrames_(std::max(16, format.samplesPerSec / 50)),  // 20 ms
      chunk_(static_cast<size_t>(chunkFrames_) * static_cast<size_t>(std::max(1, format.blockAlign())))
{
}

PacedStreamHandle::~PacedStreamHandle()
{
    stopPacing();  // normally already done by the subclass
}

MMResult PacedStreamHandle::startSource()
{
    if (thread_.joinable())
        return MMSYSERR_NOERROR;
    stopRequested_ = false;
    try {
        thread_ = std::thread(unpaced_ ? &PacedStreamHandle::runUnpaced : &PacedStreamHandle::run, this);
    } catch (const std::system_error&) {
        return MMSYSERR_NOMEM;
    }
    return MMSYSERR_NOERROR;
}

void PacedStreamHandle::stopSource()
{
    stopPacing();
}

void PacedStreamHandle::stopPacing()
{
    {
        std::lock_guard lock(mutex_);
        stopRequested_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void PacedStreamHandle::bufferQueued()
{
    // Taken so that the unpaced thread cannot miss the wake between its test and its wait.
    std::unique_lock lock(mutex_);
    lock.unlock();
    wake_.notify_all();
}

void PacedStreamHandle::storeFrame(std::uint8_t* out, int bitsPerSample, double a, double b)
{
    if (bitsPerSample == 8) {
        out[0] = voltsToSample8(a);
        out[1] = voltsToSample8(b);
        return;
    }
    const auto sa = static_cast<std::uint16_t>(voltsToSample16(a));
    const auto sb = static_cast<std::uint16_t>(voltsToSample16(b));
    out[0] = static_cast<std::uint8_t>(sa & 0xFF);  // little-endian whatever the machine
    out[1] = static_cast<std::uint8_t>(sa >> 8);
    out[2] = static_cast<std::uint8_t>(sb & 0xFF);
    out[3] = static_cast<std::uint8_t>(sb >> 8);
}

void PacedStreamHandle::run()
{
    using Clock = std::chrono::steady_clock;
    constexpr std::int64_t NsPerSecond = 1'000'000'000;
    const std::int64_t rate = format().samplesPerSec;
    const Clock::time_point origin = Clock::now();
    std::int64_t sent = 0;  // frames handed out since `origin`, by the clock's count

    std::unique_lock lock(mutex_);
    while (!stopRequested_) {
        lock.unlock();
        const std::int64_t elapsed =
            std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - origin).count();
        // Split so that the product cannot overflow however long the stream runs.
        const std::int64_t due = elapsed / NsPerSecond * rate + elapsed % NsPerSecond * rate / NsPerSecond;
        if (due - sent > rate) {
            // More than a second behind (the machine was suspended, say): the stream pauses rather
            // than racing through the missed time.
            sent = due - chunkFrames_;
        }
        while (sent < due) {
            const int count = static_cast<int>(std::min<std::int64_t>(due - sent, chunkFrames_));
            produce(produced_, count, chunk_.data());
            pushFrames(chunk_.data(), count);
            produced_ += count;
            sent += count;
        }
        lock.lock();
        wake_.wait_for(lock, PacingInterval, [this] { return stopRequested_; });
    }
}

void PacedStreamHandle::runUnpaced()
{
    std::unique_lock lock(mutex_);
    while (!stopRequested_) {
        const int count = std::min(roomFrames(), chunkFrames_);
        if (count == 0) {
            wake_.wait(lock, [this] { return stopRequested_ || roomFrames() > 0; });
            continue;
        }
        lock.unlock();
        produce(produced_, count, chunk_.data());
        pushFrames(chunk_.data(), count);
        produced_ += count;
        lock.lock();
    }
}

// ---- GeneratorInput ----

namespace {

class GeneratorHandle final : public PacedStreamHandle {
public:
    // The signals' state (the pink noises' tables) is made here, on the thread that opens the
    // device, never on the pacing thread.
    GeneratorHandle(const WaveFormat& format, QObject* receiver, const GeneratorSpec& spec)
        : PacedStreamHandle(format, receiver),
          source_(spec, format.samplesPerSec, 0x6D6972u + static_cast<std::uint32_t>(serial()))
    {
    }
    ~GeneratorHandle() override { stopPacing(); }

protected:
    void produce(std::int64_t first, int count, std::uint8_t* out) override
    {
        const int bits = format().bitsPerSample;
        const int frameBytes = format().blockAlign();
        double volts[2 * PieceFrames];
        for (int done = 0; done < count;) {
            const int piece = std::min(count - done, PieceFrames);
            source_.render(first + done, piece, volts);
            for (int i = 0; i < piece; ++i)
                storeFrame(out + static_cast<size_t>(done + i) * frameBytes, bits, volts[2 * i], volts[2 * i + 1]);
            done += piece;
        }
    }

private:
    static constexpr int PieceFrames = 256;

    StereoSource source_;
};

}  // namespace

GeneratorInput::GeneratorInput(const GeneratorSpec& spec) : spec_(spec) {}

int GeneratorInput::deviceCount()
{
    return 1;
}

MMResult GeneratorInput::deviceName(int id, std::string& name)
{
    if (id != 0)
        return MMSYSERR_BADDEVICEID;
    name = DeviceName;
    return MMSYSERR_NOERROR;
}

MMResult GeneratorInput::isFormatSupported(int id, const WaveFormat& format)
{
    if (id != 0)
        return MMSYSERR_BADDEVICEID;
    return formatAcceptable(format, MinRate, MaxRate) ? MMSYSERR_NOERROR : WAVERR_BADFORMAT;
}

MMResult GeneratorInput::open(std::unique_ptr<WaveInHandle>& handle, int id, const WaveFormat& format,
                              QObject* receiver)
{
    if (const MMResult supported = isFormatSupported(id, format); supported != MMSYSERR_NOERROR)
        return supported;
    if (!receiver)
        return MMSYSERR_INVALPARAM;
    std::unique_ptr<GeneratorHandle> generator;
    try {
        generator = std::make_unique<GeneratorHandle>(format, receiver, spec_);
    } catch (const std::bad_alloc&) {
        return MMSYSERR_NOMEM;
    }
    generator->setUnpaced(unpaced_);
    handle = std::move(generator);
    return MMSYSERR_NOERROR;
}

std::string GeneratorInput::errorText(MMResult code)
{
    return standardErrorText(code);
}

}  // namespace mirel
