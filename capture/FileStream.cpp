// The looped reading of an audio file and its conversion to another rate by libsoxr.
#include "capture/FileStream.h"

#include <sndfile.h>
#include <soxr.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace mirel {

namespace {

constexpr int ReadChunkFrames = 4096;
// The file frames handed to the converter at a time; its own buffers stay this small.
constexpr int ConvertChunkFrames = 1024;

// A float file may hold NaN or infinite samples (a damaged recording, a synthetic test file):
// they have no level to play, and become silence.
float playable(float sample)
{
    return std::isfinite(sample) ? sample : 0.0f;
}

// The file's frames as channel A and B, from the first to the last and round again. A mono file
// feeds both channels; of more channels, the first two are taken.
class LoopedFile {
public:
    LoopedFile(SNDFILE* file, int channels)
        : file_(file),
          channels_(channels),
          buffer_(static_cast<size_t>(ReadChunkFrames) * static_cast<size_t>(channels))
    {
    }
    ~LoopedFile() { sf_close(file_); }
    LoopedFile(const LoopedFile&) = delete;
    LoopedFile& operator=(const LoopedFile&) = delete;

    void read(float* out, int count)
    {
        const size_t secondChannel = channels_ > 1 ? 1 : 0;
        while (count > 0) {
            if (position_ >= filled_)
                refill();
            const int taken = static_cast<int>(std::min<sf_count_t>(count, filled_ - position_));
            const float* frame = buffer_.data() + static_cast<size_t>(position_) * static_cast<size_t>(channels_);
            for (int i = 0; i < taken; ++i, frame += channels_) {
                *out++ = playable(frame[0]);
                *out++ = playable(frame[secondChannel]);
            }
            position_ += taken;
            count -= taken;
        }
    }

private:
    void refill()
    {
        position_ = 0;
        filled_ = sf_readf_float(file_, buffer_.data(), ReadChunkFrames);
        if (filled_ > 0)
            return;
        // The end of the file: round the loop.
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
    std::vector<float> buffer_;  // ReadChunkFrames frames of the file, all its channels
    sf_count_t filled_ = 0;      // frames in buffer_
    sf_count_t position_ = 0;    // next frame of buffer_ to hand out
};

class PlainStream final : public FileStream {
public:
    PlainStream(SNDFILE* file, int channels) : file_(file, channels) {}
    void read(float* out, int count) override { file_.read(out, count); }
    bool converting() const override { return false; }

private:
    LoopedFile file_;
};

class ConvertedStream final : public FileStream {
public:
    ConvertedStream(SNDFILE* file, int channels, soxr_t converter)
        : file_(file, channels), converter_(converter), input_(2 * static_cast<size_t>(ConvertChunkFrames))
    {
    }
    ~ConvertedStream() override { soxr_delete(converter_); }

    void read(float* out, int count) override
    {
        while (count > 0) {
            if (available_ == 0) {
                file_.read(input_.data(), ConvertChunkFrames);
                next_ = 0;
                available_ = ConvertChunkFrames;
            }
            size_t taken = 0;
            size_t made = 0;
            const soxr_error_t failure = soxr_process(converter_, input_.data() + 2 * next_, available_, &taken, out,
                                                      static_cast<size_t>(count), &made);
            if (failure || (taken == 0 && made == 0)) {
                // The converter is stuck: silence rather than a spinning thread.
                std::fill(out, out + 2 * static_cast<size_t>(count), 0.0f);
                return;
            }
            next_ += taken;
            available_ -= taken;
            out += 2 * made;
            count -= static_cast<int>(made);
        }
    }
    bool converting() const override { return true; }

private:
    LoopedFile file_;
    const soxr_t converter_;
    std::vector<float> input_;  // ConvertChunkFrames frames of the file, A and B
    size_t next_ = 0;           // the first frame of input_ not yet taken by the converter
    size_t available_ = 0;      // frames of input_ from next_ on
};

}  // namespace

std::unique_ptr<FileStream> FileStream::open(const std::string& path, int rate, std::string& error)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error = sf_strerror(nullptr);
        return nullptr;
    }
    if (info.channels < 1 || info.samplerate <= 0 || rate <= 0) {
        sf_close(file);
        error = "в нем нет звука";
        return nullptr;
    }
    if (info.samplerate == rate)
        return std::make_unique<PlainStream>(file, info.channels);

    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ, 0);
    const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);  // in the calling thread only
    soxr_error_t failure = nullptr;
    soxr_t converter = soxr_create(info.samplerate, rate, 2, &failure, &io, &quality, &runtime);
    if (!converter) {
        sf_close(file);
        error = std::string("его частоту нельзя преобразовать: ") + (failure ? failure : "неизвестная ошибка");
        return nullptr;
    }
    return std::make_unique<ConvertedStream>(file, info.channels, converter);
}

}  // namespace mirel
