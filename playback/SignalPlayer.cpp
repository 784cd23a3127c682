// The output stream of the generator: device list, rate choice, and the callback that renders the
// current signal and fades a new one in across one block.
#include "playback/SignalPlayer.h"

#include "capture/AudioNoise.h"

#include <portaudio.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace mirel {

namespace {

// Frames rendered at a time; a longer callback block is rendered in pieces of this size.
constexpr int ScratchFrames = 2048;
// The rates tried, highest first, when the device does not offer the one asked for.
constexpr int UsualRates[] = {48000, 44100, 32000, 22050, 16000, 11025, 8000};
// The least output latency asked for: a callback delayed by a busy machine still finds the
// device's buffer holding enough to go on with. A new signal is heard this much later.
constexpr double MinLatencySeconds = 0.1;
// How long start() waits for the first callback.
constexpr auto FirstCallbackWait = std::chrono::seconds(1);

// The callback and the UI thread meet only in these, which must not take a lock.
static_assert(std::atomic<StereoSource*>::is_always_lock_free && std::atomic<std::int64_t>::is_always_lock_free &&
              std::atomic<bool>::is_always_lock_free);

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

float toSample(double volts)
{
    if (std::isnan(volts))
        return 0.0f;
    return static_cast<float>(std::clamp(volts, -1.0, 1.0));
}

}  // namespace

// One open output stream and what its callback works with. While the stream runs, `current` and
// `frame` belong to the callback; the UI thread hands sources over through `incoming` and takes
// the replaced ones back from `retired`.
struct SignalPlayer::Stream {
    ~Stream()
    {
        // The stream is closed by now: nothing renders any more.
        delete current;
        delete incoming.exchange(nullptr);
        delete retired.exchange(nullptr);
    }

    static int callback(const void*, void* output, unsigned long frameCount, const PaStreamCallbackTimeInfo*,
                        PaStreamCallbackFlags flags, void* userData)
    {
        static_cast<Stream*>(userData)->play(static_cast<float*>(output), static_cast<int>(frameCount), flags);
        return paContinue;
    }

    void play(float* out, int count, PaStreamCallbackFlags flags)
    {
        if (flags & paOutputUnderflow)
            underruns.fetch_add(1, std::memory_order_relaxed);
        // A new source is taken only once the one it replaced last time has been collected, so
        // that the retired slot never holds two.
        StereoSource* fading = nullptr;
        if (!retired.load(std::memory_order_acquire)) {
            if (StereoSource* next = incoming.exchange(nullptr, std::memory_order_acq_rel)) {
                fading = current;
                current = next;
            }
        }
        for (int done = 0; done < count;) {
            const int n = std::min(count - done, ScratchFrames);
            current->render(frame + done, n, fresh.data());
            if (fading) {
                // Linear crossfade across the whole block: its last frame is all new.
                fading->render(frame + done, n, old.data());
                for (int i = 0; i < n; ++i) {
                    const double gain = static_cast<double>(done + i + 1) / count;
                    for (int c = 0; c < 2; ++c) {
                        const int at = 2 * i + c;
                        fresh[at] = old[at] + gain * (fresh[at] - old[at]);
                    }
                }
            }
            float* to = out + 2 * done;
            for (int i = 0; i < 2 * n; ++i)
                to[i] = toSample(fresh[i]);
            done += n;
        }
        frame += count;
        if (fading)
            retired.store(fading, std::memory_order_release);
        played.store(frame, std::memory_order_release);
        underway.store(true, std::memory_order_release);
    }

    PaStream* pa = nullptr;
    int rate = 0;
    StereoSource* current = nullptr;
    std::int64_t frame = 0;
    std::vector<double> fresh = std::vector<double>(2 * ScratchFrames);
    std::vector<double> old = std::vector<double>(2 * ScratchFrames);
    std::atomic<StereoSource*> incoming{nullptr};
    std::atomic<StereoSource*> retired{nullptr};
    std::atomic<std::int64_t> underruns{0};
    std::atomic<std::int64_t> played{0};
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
    const int rate = outputRate(device, preferredRate);
    if (rate == 0) {
        error = "Устройство вывода «" + name + "» не воспроизводит стерео ни на одной частоте от 8000 до 48000 Гц";
        return false;
    }
    const PaDeviceIndex index = paIndex_[static_cast<size_t>(device)];
    PaStreamParameters parameters{};
    parameters.device = index;
    parameters.channelCount = 2;
    parameters.sampleFormat = paFloat32;
    parameters.suggestedLatency = std::max(Pa_GetDeviceInfo(index)->defaultHighOutputLatency, MinLatencySeconds);

    auto stream = std::make_unique<Stream>();
    stream->rate = rate;
    stream->current = new StereoSource(spec_, rate, ++seed_);
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
    lastFrames_ = stream_->played.load();
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
    // The source the callback last replaced is done with; the new one is made here, off the
    // audio thread. One handed over but not taken yet is replaced outright.
    delete stream_->retired.exchange(nullptr, std::memory_order_acq_rel);
    auto* next = new StereoSource(spec, stream_->rate, ++seed_);
    delete stream_->incoming.exchange(next, std::memory_order_acq_rel);
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
    return stream_ ? stream_->played.load(std::memory_order_acquire) : lastFrames_;
}

bool SignalPlayer::lost() const
{
    return stream_ && Pa_IsStreamActive(stream_->pa) != 1;
}

}  // namespace mirel
