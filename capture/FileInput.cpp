#include "FileInput.h"

#include "GeneratorInput.h"
#include "QuotedText.h"

#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <vector>

namespace mirel {

namespace {

constexpr int ReadChunkFrames = 4096;

std::string describeFailure(const std::string& path, const char* reason)
{
    return "cannot open the audio file " + Quoted(path) + ": " + (reason ? reason : "unknown error");
}

// Plays an open file in a loop, converting its rate to the capture rate by linear interpolation.
class FileHandle final : public PacedStreamHandle {
public:
    FileHandle(const WaveFormat& format, QObject* receiver, SNDFILE* file, const SF_INFO& info)
        : PacedStreamHandle(format, receiver),
          file_(file),
          channels_(info.channels),
          fileRate_(info.samplerate),
          buffer_(static_cast<size_t>(ReadChunkFrames) * static_cast<size_t>(info.channels))
    {
        current_ = readFrame();
        next_ = readFrame();
    }

    ~FileHandle() override
    {
        stopPacing();
        sf_close(file_);
    }

protected:
    void produce(std::int64_t, int count, std::uint8_t* out) override
    {
        const std::int64_t rate = format().samplesPerSec;
        const int bits = format().bitsPerSample;
        const int frameBytes = format().blockAlign();
        for (int i = 0; i < count; ++i) {
            // The output frame lies `step_ / rate` of the way from the current file frame to the next.
            const double t = static_cast<double>(step_) / static_cast<double>(rate);
            const double a = current_[0] + (static_cast<double>(next_[0]) - current_[0]) * t;
            const double b = current_[1] + (static_cast<double>(next_[1]) - current_[1]) * t;
            storeFrame(out + static_cast<size_t>(i) * frameBytes, bits, a, b);
            // Exact rational stepping: file position advances by fileRate/rate frames per output frame.
            step_ += fileRate_;
            while (step_ >= rate) {
                step_ -= rate;
                current_ = next_;
                next_ = readFrame();
            }
        }
    }

private:
    std::array<float, 2> readFrame()
    {
        if (position_ >= filled_)
            refill();
        const float* frame = buffer_.data() + static_cast<size_t>(position_) * static_cast<size_t>(channels_);
        ++position_;
        return {playable(frame[0]), playable(channels_ > 1 ? frame[1] : frame[0])};
    }

    // A float file may hold NaN or infinite samples (a damaged recording, a synthetic test file):
    // they have no level to play, and become silence.
    static float playable(float sample) { return std::isfinite(sample) ? sample : 0.0f; }

    void refill()
    {
        position_ = 0;
        filled_ = sf_readf_float(file_, buffer_.data(), ReadChunkFrames);
        if (filled_ > 0)
            return;
        // The end of the file: round the loop. The last frame is followed by the first, and the
        // interpolation runs across the seam like anywhere else.
        sf_seek(file_, 0, SEEK_SET);
        filled_ = sf_readf_float(file_, buffer_.data(), ReadChunkFrames);
        if (filled_ <= 0) {
            // Unreadable after all: play silence rather than spin.
            std::fill(buffer_.begin(), buffer_.end(), 0.0f);
            filled_ = 1;
        }
    }

    SNDFILE* const file_;
    const int channels_;
    const std::int64_t fileRate_;
    std::vector<float> buffer_;  // ReadChunkFrames frames of the file, all its channels
    sf_count_t filled_ = 0;      // frames in buffer_
    sf_count_t position_ = 0;    // next frame of buffer_ to hand out
    std::array<float, 2> current_{};
    std::array<float, 2> next_{};
    std::int64_t step_ = 0;  // in 1/rate of a file frame past current_
};

}  // namespace

FileInput::FileInput(std::string path, int fileRate, int fileChannels)
    : path_(std::move(path)),
      name_(std::filesystem::path(path_).filename().string()),
      fileRate_(fileRate),
      fileChannels_(fileChannels)
{
}

std::unique_ptr<FileInput> FileInput::open(const std::string& path, std::string& error)
{
    if (path.empty()) {
        error = "no audio file named";
        return nullptr;
    }
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        error = describeFailure(path, "it is a folder");
        return nullptr;
    }
    // Only a file can be read twice and looped: a pipe, a device or "-" (standard input) would
    // block the start or run dry.
    if (path == "-" || (std::filesystem::exists(path, ec) && !std::filesystem::is_regular_file(path, ec))) {
        error = describeFailure(path, "it is not a regular file");
        return nullptr;
    }
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error = describeFailure(path, sf_strerror(nullptr));
        return nullptr;
    }
    sf_close(file);
    if (info.frames <= 0 || info.channels < 1 || info.samplerate <= 0) {
        error = describeFailure(path, "it holds no sound");
        return nullptr;
    }
    if (info.samplerate > MaxFileRate) {
        const std::string reason = "its sample rate of " + std::to_string(info.samplerate) +
                                   " Hz is beyond what any sound card records (" + std::to_string(MaxFileRate) +
                                   " Hz at most)";
        error = describeFailure(path, reason.c_str());
        return nullptr;
    }
    return std::unique_ptr<FileInput>(new FileInput(path, info.samplerate, info.channels));
}

int FileInput::maxRate() const
{
    return std::max(fileRate_, MinRate);
}

int FileInput::deviceCount()
{
    return 1;
}

MMResult FileInput::deviceName(int id, std::string& name)
{
    if (id != 0)
        return MMSYSERR_BADDEVICEID;
    name = name_;
    return MMSYSERR_NOERROR;
}

MMResult FileInput::isFormatSupported(int id, const WaveFormat& format)
{
    if (id != 0)
        return MMSYSERR_BADDEVICEID;
    const bool ok = format.channels == 2 && (format.bitsPerSample == 16 || format.bitsPerSample == 8) &&
                    format.samplesPerSec >= MinRate && format.samplesPerSec <= maxRate();
    return ok ? MMSYSERR_NOERROR : WAVERR_BADFORMAT;
}

MMResult FileInput::open(std::unique_ptr<WaveInHandle>& handle, int id, const WaveFormat& format, QObject* receiver)
{
    if (const MMResult supported = isFormatSupported(id, format); supported != MMSYSERR_NOERROR)
        return supported;
    if (!receiver)
        return MMSYSERR_INVALPARAM;
    // Every capture reads the file through a handle of its own.
    SF_INFO info{};
    SNDFILE* file = sf_open(path_.c_str(), SFM_READ, &info);
    if (!file || info.channels < 1 || info.samplerate <= 0) {
        openError_ = describeFailure(path_, file ? "it holds no sound" : sf_strerror(nullptr));
        if (file)
            sf_close(file);
        return MMSYSERR_ERROR;
    }
    openError_.clear();
    auto player = std::make_unique<FileHandle>(format, receiver, file, info);
    player->setUnpaced(unpaced_);
    handle = std::move(player);
    return MMSYSERR_NOERROR;
}

std::string FileInput::errorText(MMResult code)
{
    if (code == MMSYSERR_ERROR && !openError_.empty())
        return openError_;
    return standardErrorText(code);
}

}  // namespace mirel
