#include "capture/PortAudioInput.h"

#include "capture/AudioNoise.h"
#include "capture/StreamHandle.h"

#include <portaudio.h>

namespace mirel {

namespace {

PaSampleFormat sampleFormatFor(const WaveFormat& format)
{
    switch (format.bitsPerSample) {
    case 16: return paInt16;
    case 8: return paUInt8;
    default: return 0;
    }
}

// One open PortAudio input stream. PortAudio's callback thread only calls pushFrames.
class PortAudioHandle : public StreamHandle {
public:
    PortAudioHandle(PortAudioInput& input, const WaveFormat& format, QObject* receiver)
        : StreamHandle(format, receiver), input_(input)
    {
    }

    ~PortAudioHandle() override
    {
        if (stream_) {
            Pa_AbortStream(stream_);
            Pa_CloseStream(stream_);
        }
    }

    MMResult openStream(const PaStreamParameters& parameters, double sampleRate)
    {
        const PaError error = Pa_OpenStream(&stream_, &parameters, nullptr, sampleRate, paFramesPerBufferUnspecified,
                                            paNoFlag, &PortAudioHandle::callback, this);
        if (error != paNoError) {
            stream_ = nullptr;
            return input_.failure(error);
        }
        return MMSYSERR_NOERROR;
    }

    MMResult close() override
    {
        if (const MMResult result = StreamHandle::close(); result != MMSYSERR_NOERROR)
            return result;
        if (stream_) {
            const PaError error = Pa_CloseStream(stream_);
            stream_ = nullptr;
            if (error != paNoError)
                return input_.failure(error);
        }
        return MMSYSERR_NOERROR;
    }

    bool failed() override
    {
        // A stream whose device went away stops by itself; PortAudio then calls it inactive.
        return started() && stream_ && Pa_IsStreamActive(stream_) != 1;
    }

protected:
    MMResult startSource() override
    {
        if (!stream_)
            return MMSYSERR_INVALHANDLE;
        const PaError error = Pa_StartStream(stream_);
        return error == paNoError ? MMSYSERR_NOERROR : input_.failure(error);
    }

    void stopSource() override
    {
        // Returns when the callback thread has ended, so no pushFrames runs after it.
        if (stream_)
            Pa_AbortStream(stream_);
    }

private:
    static int callback(const void* input, void*, unsigned long frameCount, const PaStreamCallbackTimeInfo*,
                        PaStreamCallbackFlags, void* userData)
    {
        if (input)
            static_cast<PortAudioHandle*>(userData)->pushFrames(static_cast<const std::uint8_t*>(input),
                                                                static_cast<int>(frameCount));
        return paContinue;
    }

    PortAudioInput& input_;
    PaStream* stream_ = nullptr;
};

}  // namespace

PortAudioInput::PortAudioInput()
{
    quietAudioLibraries();
    if (const PaError error = Pa_Initialize(); error != paNoError) {
        failure(error);
        return;
    }
    initialised_ = true;
    const PaDeviceIndex count = Pa_GetDeviceCount();
    for (PaDeviceIndex index = 0; index < count; ++index) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(index);
        if (info && info->maxInputChannels > 0)
            devices_.push_back(index);
    }
}

PortAudioInput::~PortAudioInput()
{
    if (initialised_)
        Pa_Terminate();
}

int PortAudioInput::deviceCount()
{
    return static_cast<int>(devices_.size());
}

MMResult PortAudioInput::deviceName(int id, std::string& name)
{
    if (id < 0 || id >= deviceCount())
        return plain(MMSYSERR_BADDEVICEID);
    const PaDeviceInfo* info = Pa_GetDeviceInfo(devices_[static_cast<size_t>(id)]);
    if (!info || !info->name)
        return MMSYSERR_NODRIVER;
    name = info->name;
    return MMSYSERR_NOERROR;
}

MMResult PortAudioInput::streamParameters(int id, const WaveFormat& format, PaStreamParameters& parameters)
{
    if (id < 0 || id >= deviceCount())
        return plain(MMSYSERR_BADDEVICEID);
    const PaSampleFormat sampleFormat = sampleFormatFor(format);
    if (!sampleFormat || format.channels < 1 || format.samplesPerSec <= 0)
        return plain(WAVERR_BADFORMAT);
    const PaDeviceIndex device = devices_[static_cast<size_t>(id)];
    const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
    if (!info)
        return plain(MMSYSERR_NODRIVER);
    parameters = PaStreamParameters{};
    parameters.device = device;
    parameters.channelCount = format.channels;
    parameters.sampleFormat = sampleFormat;
    parameters.suggestedLatency = info->defaultLowInputLatency;
    return MMSYSERR_NOERROR;
}

MMResult PortAudioInput::isFormatSupported(int id, const WaveFormat& format)
{
    PaStreamParameters parameters;
    if (const MMResult result = streamParameters(id, format, parameters); result != MMSYSERR_NOERROR)
        return result;
    const PaError error = Pa_IsFormatSupported(&parameters, nullptr, format.samplesPerSec);
    return error == paFormatIsSupported ? MMSYSERR_NOERROR : failure(error);
}

MMResult PortAudioInput::open(std::unique_ptr<WaveInHandle>& handle, int id, const WaveFormat& format,
                              QObject* receiver)
{
    if (!receiver)
        return plain(MMSYSERR_INVALPARAM);
    PaStreamParameters parameters;
    if (const MMResult result = streamParameters(id, format, parameters); result != MMSYSERR_NOERROR)
        return result;
    auto opened = std::make_unique<PortAudioHandle>(*this, format, receiver);
    if (const MMResult result = opened->openStream(parameters, format.samplesPerSec); result != MMSYSERR_NOERROR)
        return result;
    handle = std::move(opened);
    return MMSYSERR_NOERROR;
}

MMResult PortAudioInput::plain(MMResult code)
{
    // A failure found by us, not by PortAudio: its text is the standard one.
    lastCode_ = MMSYSERR_NOERROR;
    lastText_.clear();
    return code;
}

MMResult PortAudioInput::failure(int paError)
{
    MMResult code;
    switch (paError) {
    case paNoError: return MMSYSERR_NOERROR;
    case paNotInitialized: code = MMSYSERR_NODRIVER; break;
    case paInvalidDevice: code = MMSYSERR_BADDEVICEID; break;
    case paInvalidChannelCount:
    case paInvalidSampleRate:
    case paSampleFormatNotSupported:
    case paBadIODeviceCombination: code = WAVERR_BADFORMAT; break;
    case paInsufficientMemory: code = MMSYSERR_NOMEM; break;
    case paDeviceUnavailable: code = MMSYSERR_ALLOCATED; break;
    case paBadStreamPtr: code = MMSYSERR_INVALHANDLE; break;
    case paInvalidFlag:
    case paNullCallback:
    case paIncompatibleHostApiSpecificStreamInfo: code = MMSYSERR_INVALPARAM; break;
    default: code = MMSYSERR_ERROR; break;
    }
    std::string text = Pa_GetErrorText(paError);
    if (paError == paUnanticipatedHostError) {
        // The host API's own words say more than PortAudio's generic text.
        if (const PaHostErrorInfo* host = Pa_GetLastHostErrorInfo(); host && host->errorText && *host->errorText)
            text += std::string(": ") + host->errorText;
    }
    lastCode_ = code;
    lastText_ = std::move(text);
    return code;
}

std::string PortAudioInput::errorText(MMResult code)
{
    if (code != MMSYSERR_NOERROR && code == lastCode_ && !lastText_.empty())
        return lastText_;
    return standardErrorText(code);
}

}  // namespace mirel
