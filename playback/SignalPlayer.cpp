// The output stream of the generator: device list, rate choice, the stream's start and stop, and
// its callback, which counts underruns and renders the feed.
#include "playback/SignalPlayer.h"

#include "capture/AudioNoise.h"
#include "playback/PlayerFeed.h"

#include <portaudio.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace mirel {

namespace {

// The rates tried, highest first, when the device does not offer the one asked for.
constexpr int UsualRates[] = {48000, 44100, 32000, 22050, 16000, 11025, 8000};
// The least output latency asked for: a callback delayed by a busy machine still finds the
// device's buffer holding enough to go on with. A new signal is heard this much later.
constexpr double MinLatencySeconds = 0.1;
// How long start() waits for the first callback.
constexpr auto FirstCallbackWait = std::chrono::seconds(1);

std::string portAudioText(PaError error)
{
    std::string text = Pa_GetErrorText(error);
    if (error == paUnanticipatedHostError) {
        // The host API's own words say more than PortAudio's generic text.
        if (const PaHostErrorInfo* host = Pa_GetLastHostErrorInfo(); host && host->errorText && *host->errorText)
            text += std::string(": ") + host->errorText;
    }
    return text;
}

}  // namespace

// One open output stream: the feed its callback renders, and what the callback counts.
struct SignalPlayer::Stream {
    explicit Stream(std::unique_ptr<StereoSource> first) : feed(std::move(first)) {}

    static int callback(const void*, void* output, unsigned long frameCount, const PaStreamCallbackTimeInfo*,
                        PaStreamCallbackFlags flags, void* userData)
    {
        auto& stream = *static_cast<Stream*>(userData);
        if (flags & paOutputUnderflow)
            stream.underruns.fetch_add(1, std::memory_order_relaxed);
        stream.feed.render(static_cast<float*>(output), static_cast<int>(frameCount));
        stream.underway.store(true, std::memory_order_release);
        return paContinue;
    }

    PaStream* pa = nullptr;
    int rate = 0;
    // Every source of one stream draws the same noise, so that a new level of a pink noise carries
    // on the noise that plays rather than fading over to another one.
    std::uint32_t seed = 0;
    PlayerFeed feed;
    std::atomic<std::int64_t> underruns{0};
    std::atomic<bool> underway{false};
};

SignalPlayer::SignalPlayer() : spec_(GeneratorSpec::defaults())
{
    quietAudioLibraries();
    if (Pa_Initialize() != paNoError)
        return;
    initialised_ = true;
    const PaDeviceIndex preferred = Pa_GetDefaultOutputDevice();
    const PaDeviceIndex count = Pa_GetDeviceCount();
    // Both channels must go somewhere: devices with fewer than two outputs are left out.
    auto add = [this](PaDeviceIndex index, bool isDefault) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(index);
        if (!info || info->maxOutputChannels < 2 || !info->name)
            return;
        devices_.push_back({info->name, isDefault});
        paIndex_.push_back(index);
    };
    if (preferred != paNoDevice)
        add(preferred, true);
    for (PaDeviceIndex index = 0; index < count; ++index)
        if (index != preferred)
            add(index, false);
}

SignalPlayer::~SignalPlayer()
{
    stop();
    if (initialised_)
        Pa_Terminate();
}

const std::vector<OutputDevice>& SignalPlayer::devices() const
{
    return devices_;
}

int SignalPlayer::findDevice(const std::string& nameOrNumber) const
{
    const int count = static_cast<int>(devices_.size());
    for (int id = 0; id < count; ++id)
        if (devices_[static_cast<size_t>(id)].Name == nameOrNumber || std::to_string(id + 1) == nameOrNumber)
            return id;
    int found = -1;
    for (int id = 0; id < count; ++id) {
        if (nameOrNumber.empty() || devices_[static_cast<size_t>(id)].Name.find(nameOrNumber) == std::string::npos)
            continue;
        if (found >= 0)
            return -1;  // more than one: not a name of one device
        found = id;
    }
    return found;
}

int SignalPlayer::outputRate(int device, int preferredRate) const
{
    if (!initialised_ || device < 0 || device >= static_cast<int>(devices_.size()))
        return 0;
    PaStreamParameters parameters{};
    parameters.device = paIndex_[static_cast<size_t>(device)];
    parameters.channelCount = 2;
    parameters.sampleFormat = paFloat32;
    auto offers = [&parameters](int rate) {
        return Pa_IsFormatSupported(nullptr, &parameters, rate) == paFormatIsSupported;
    };
    if (preferredRate > 0 && offers(preferredRate))
        return preferredRate;
    for (const int rate : UsualRates)
        if (offers(rate))
            return rate;
    return 0;
}

bool SignalPlayer::start(int device, const GeneratorSpec& spec, int preferredRate, std::string& error)
{
    stop();
    spec_ = spec;
    lastUnderruns_ = 0;
    lastFrames_ = 0;
    if (!initialised_ || device < 0 || device >= static_cast<int>(devices_.size())) {
        error = "Нет устройства вывода номер " + std::to_string(device + 1);
        return false;
    }
    device_ = device;
    const std::string& name = devices_[static_cast<size_t>(device)].Name;
    // A device that offers no rate (gone, or taken by another program) is opened all the same, so
    // that the sound library says why it fails.
    const int offered = outputRate(device, preferredRate);
    const int rate = offered > 0 ? offered : preferredRate > 0 ? preferredRate : UsualRates[0];
    const PaDeviceIndex index = paIndex_[static_cast<size_t>(device)];
    PaStreamParameters parameters{};
    parameters.device = index;
    parameters.channelCount = 2;
    parameters.sampleFormat = paFloat32;
    parameters.suggestedLatency = std::max(Pa_GetDeviceInfo(index)->defaultHighOutputLatency, MinLatencySeconds);

    auto stream = std::make_unique<Stream>(std::make_unique<StereoSource>(spec_, rate, ++seed_));
    stream->rate = rate;
    stream->seed = seed_;
    if (const PaError failure = Pa_OpenStream(&stream->pa, nullptr, &parameters, rate, paFramesPerBufferUnspecified,
                                              paNoFlag, &Stream::callback, stream.get());
        failure != paNoError) {
        error = "Не удалось открыть устройство вывода «" + name + "»: " + portAudioText(failure);
        return false;
    }
    if (const PaError failure = Pa_StartStream(stream->pa); failure != paNoError) {
        error = "Не удалось запустить вывод на устройство «" + name + "»: " + portAudioText(failure);
        Pa_CloseStream(stream->pa);
        return false;
    }
    // A capture started after this records what is played.
    const auto until = std::chrono::steady_clock::now() + FirstCallbackWait;
    while (!stream->underway.load(std::memory_order_acquire) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    stream_ = std::move(stream);
    return true;
}

void SignalPlayer::stop()
{
    if (!stream_)
        return;
    // Returns when the callback thread has ended.
    Pa_AbortStream(stream_->pa);
    Pa_CloseStream(stream_->pa);
    lastUnderruns_ = stream_->underruns.load();
    lastFrames_ = stream_->feed.frames();
    stream_.reset();
}

bool SignalPlayer::playing() const
{
    return stream_ != nullptr;
}

void SignalPlayer::setSpec(const GeneratorSpec& spec)
{
    spec_ = spec;
    if (!stream_)
        return;
    // Made here, off the audio thread.
    stream_->feed.offer(std::make_unique<StereoSource>(spec, stream_->rate, stream_->seed));
}

const GeneratorSpec& SignalPlayer::spec() const
{
    return spec_;
}

int SignalPlayer::sampleRate() const
{
    return stream_ ? stream_->rate : 0;
}

int SignalPlayer::device() const
{
    return device_;
}

std::int64_t SignalPlayer::underruns() const
{
    return stream_ ? stream_->underruns.load(std::memory_order_relaxed) : lastUnderruns_;
}

std::int64_t SignalPlayer::framesPlayed() const
{
    return stream_ ? stream_->feed.frames() : lastFrames_;
}

bool SignalPlayer::lost() const
{
    return stream_ && Pa_IsStreamActive(stream_->pa) != 1;
}

}  // namespace mirel
