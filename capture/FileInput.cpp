#include "capture/FileInput.h"

#include "capture/FileStream.h"
#include "capture/GeneratorInput.h"
#include "common/QuotedText.h"

#include <sndfile.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <unistd.h>

namespace mirel {

namespace {

// Frames converted to the capture format at a time.
constexpr int PieceFrames = 1024;

std::string describeFailure(const std::string& path, const char* reason)
{
    return "не удается открыть звуковой файл " + Quoted(path) + ": " + (reason ? reason : "неизвестная ошибка");
}

// Why libsndfile could not open `path`, in the user's words where its code says enough.
std::string openFailure(const std::string& path)
{
    switch (sf_error(nullptr)) {
    case SF_ERR_UNRECOGNISED_FORMAT: return "формат файла не распознан";
    case SF_ERR_MALFORMED_FILE: return "файл поврежден";
    case SF_ERR_UNSUPPORTED_ENCODING: return "кодировка звука в файле не поддерживается";
    case SF_ERR_SYSTEM: {
        std::error_code ec;
        if (!std::filesystem::exists(path, ec))
            return "такого файла нет";
        if (::access(path.c_str(), R_OK) != 0)
            return "нет прав на чтение";
        break;
    }
    default: break;
    }
    return sf_strerror(nullptr);
}

// Plays a file stream in the capture format.
class FileHandle final : public PacedStreamHandle {
public:
    FileHandle(const WaveFormat& format, QObject* receiver, std::unique_ptr<FileStream> stream)
        : PacedStreamHandle(format, receiver), stream_(std::move(stream))
    {
    }

    ~FileHandle() override { stopPacing(); }

protected:
    void produce(std::int64_t, int count, std::uint8_t* out) override
    {
        const int bits = format().bitsPerSample;
        const size_t frameBytes = static_cast<size_t>(format().blockAlign());
        while (count > 0) {
            const int piece = std::min(count, PieceFrames);
            stream_->read(samples_.data(), piece);
            for (size_t i = 0; i < static_cast<size_t>(piece); ++i, out += frameBytes)
                storeFrame(out, bits, samples_[2 * i], samples_[2 * i + 1]);
            count -= piece;
        }
    }

private:
    const std::unique_ptr<FileStream> stream_;
    std::array<float, 2 * PieceFrames> samples_{};  // channel A and B interleaved
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
        error = "не указан звуковой файл";
        return nullptr;
    }
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        error = describeFailure(path, "это папка");
        return nullptr;
    }
    // Only a file can be read twice and looped: a pipe, a device or "-" (standard input) would
    // block the start or run dry.
    if (path == "-" || (std::filesystem::exists(path, ec) && !std::filesystem::is_regular_file(path, ec))) {
        error = describeFailure(path, "это не обычный файл");
        return nullptr;
    }
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error = describeFailure(path, openFailure(path).c_str());
        return nullptr;
    }
    sf_close(file);
    if (info.frames <= 0 || info.channels < 1 || info.samplerate <= 0) {
        error = describeFailure(path, "в нем нет звука");
        return nullptr;
    }
    if (info.samplerate > MaxFileRate) {
        const std::string reason = "его частота дискретизации " + std::to_string(info.samplerate) +
                                   " Гц выше, чем записывает звуковая карта (не более " + std::to_string(MaxFileRate) +
                                   " Гц)";
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

int FileInput::ownRate(int id)
{
    return id == 0 ? fileRate_ : 0;
}

MMResult FileInput::open(std::unique_ptr<WaveInHandle>& handle, int id, const WaveFormat& format, QObject* receiver)
{
    if (const MMResult supported = isFormatSupported(id, format); supported != MMSYSERR_NOERROR)
        return supported;
    if (!receiver)
        return MMSYSERR_INVALPARAM;
    // Every capture reads the file through a stream of its own.
    std::string reason;
    std::unique_ptr<FileStream> stream = FileStream::open(path_, format.samplesPerSec, reason);
    if (!stream) {
        openError_ = describeFailure(path_, reason.c_str());
        return MMSYSERR_ERROR;
    }
    openError_.clear();
    auto player = std::make_unique<FileHandle>(format, receiver, std::move(stream));
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
