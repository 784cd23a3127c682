#include "support/FakeWaveInput.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstring>
#include <utility>

namespace mirel::test {

class FakeWaveInput::Handle : public WaveInHandle {
public:
    Handle(FakeWaveInput& owner, QObject* receiver) : owner_(owner), receiver_(receiver)
    {
        owner_.open_.push_back(this);
    }
    ~Handle() override { std::erase(owner_.open_, this); }

    MMResult prepareHeader(WaveHeader& header) override
    {
        owner_.calls.push_back("prepare");
        header.prepared = owner_.prepareResult == MMSYSERR_NOERROR;
        return owner_.prepareResult;
    }
    MMResult addBuffer(WaveHeader& header) override
    {
        owner_.calls.push_back("add");
        if (owner_.addResult != MMSYSERR_NOERROR)
            return owner_.addResult;
        header.bytesRecorded = 0;
        queued = &header;
        return MMSYSERR_NOERROR;
    }
    MMResult start() override
    {
        owner_.calls.push_back("start");
        return owner_.startResult;
    }
    MMResult reset() override
    {
        owner_.calls.push_back("reset");
        if (queued && owner_.resetReturnsBuffer)
            post();
        queued = nullptr;
        return MMSYSERR_NOERROR;
    }
    MMResult unprepareHeader(WaveHeader& header) override
    {
        owner_.calls.push_back("unprepare");
        header.prepared = false;
        return MMSYSERR_NOERROR;
    }
    MMResult close() override
    {
        owner_.calls.push_back("close");
        --owner_.openHandles;
        return MMSYSERR_NOERROR;
    }
    bool failed() override { return owner_.streamFailed; }

    void post()
    {
        queued->framesLostBefore = std::exchange(owner_.framesLostBefore, 0);
        QCoreApplication::postEvent(receiver_, new WimDataEvent(serial(), queued));
        queued = nullptr;
    }

    WaveHeader* queued = nullptr;

private:
    FakeWaveInput& owner_;
    QObject* receiver_;
};

bool FakeWaveInput::completeBuffer(const std::function<std::uint8_t(int)>& fill)
{
    bool completed = false;
    for (Handle* handle : open_) {
        if (!handle->queued)
            continue;
        WaveHeader& header = *handle->queued;
        for (int i = 0; i < header.bufferLength; ++i)
            header.data[i] = fill ? fill(i) : 0;
        header.bytesRecorded = header.bufferLength;
        handle->post();
        completed = true;
    }
    return completed;
}

bool FakeWaveInput::completeBufferWith(const std::vector<std::uint8_t>& bytes)
{
    bool completed = false;
    for (Handle* handle : open_) {
        if (!handle->queued)
            continue;
        WaveHeader& header = *handle->queued;
        const size_t length = static_cast<size_t>(header.bufferLength);
        const size_t copied = std::min(length, bytes.size());
        std::memcpy(header.data, bytes.data(), copied);
        std::memset(header.data + copied, 0, length - copied);
        header.bytesRecorded = header.bufferLength;
        handle->post();
        completed = true;
    }
    return completed;
}

bool FakeWaveInput::bufferQueued() const
{
    return std::any_of(open_.begin(), open_.end(), [](const Handle* handle) { return handle->queued; });
}

int FakeWaveInput::deviceCount()
{
    return static_cast<int>(devices.size());
}

MMResult FakeWaveInput::deviceName(int id, std::string& name)
{
    if (id < 0 || id >= deviceCount())
        return MMSYSERR_BADDEVICEID;
    if (!devices[id].readable)
        return MMSYSERR_NODRIVER;
    name = devices[id].name;
    return MMSYSERR_NOERROR;
}

MMResult FakeWaveInput::isFormatSupported(int id, const WaveFormat& format)
{
    if (id < 0 || id >= deviceCount())
        return MMSYSERR_BADDEVICEID;
    return format.samplesPerSec <= devices[id].maxRate ? MMSYSERR_NOERROR : WAVERR_BADFORMAT;
}

MMResult FakeWaveInput::open(std::unique_ptr<WaveInHandle>& handle, int id, const WaveFormat& format, QObject* receiver)
{
    calls.push_back("open");
    lastFormat = format;
    lastDevice = id;
    if (openResult != MMSYSERR_NOERROR)
        return openResult;
    if (const MMResult supported = isFormatSupported(id, format); supported != MMSYSERR_NOERROR)
        return supported;
    handle = std::make_unique<Handle>(*this, receiver);
    ++openHandles;
    return MMSYSERR_NOERROR;
}

std::string FakeWaveInput::errorText(MMResult code)
{
    return standardErrorText(code);
}

}  // namespace mirel::test
