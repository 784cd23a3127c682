#pragma once
// An audio file offered as an input device: WAV, FLAC, OGG and whatever else libsndfile reads,
// played in a loop in real time as if it came in through a sound card.
//
// Channels: a mono file feeds both channels; of a file with more than two channels the first two
// are channel A and B.
//
// Rates: the file's own rate is the device's own (ownRate), at which it plays sample for sample.
// It also opens at any lower rate down to 1000 Hz (a file recorded below 1000 Hz opens at 1000 Hz);
// the file is then converted by libsoxr at its very-high-quality setting, so that time runs true
// and what lies above half the capture rate is filtered out rather than folded into the band.

#include "capture/WaveInput.h"

#include <memory>
#include <string>

namespace mirel {

class FileInput : public WaveInput {
public:
    static constexpr int MinRate = 1000;
    // A header claiming more is damaged: converting it down would keep a core busy for nothing.
    static constexpr int MaxFileRate = 768000;

    // Checks that `path` is an audio file that can be played. On failure returns nullptr and puts
    // a sentence naming the file and the reason into `error`.
    static std::unique_ptr<FileInput> open(const std::string& path, std::string& error);

    const std::string& path() const { return path_; }
    int fileRate() const { return fileRate_; }
    int fileChannels() const { return fileChannels_; }
    int maxRate() const;

    int deviceCount() override;
    MMResult deviceName(int id, std::string& name) override;  // the file's name, without folders
    MMResult isFormatSupported(int id, const WaveFormat& format) override;
    int ownRate(int id) override;  // the file's rate
    MMResult open(std::unique_ptr<WaveInHandle>& handle, int id, const WaveFormat& format, QObject* receiver) override;
    std::string errorText(MMResult code) override;

    // Captures opened from now on deliver their frames as fast as they are taken, not in real time.
    void setUnpaced(bool unpaced) { unpaced_ = unpaced; }

private:
    FileInput(std::string path, int fileRate, int fileChannels);

    std::string path_;
    std::string name_;
    int fileRate_;
    int fileChannels_;
    std::string openError_;
    bool unpaced_ = false;  // why the file could not be opened again for a capture
};

}  // namespace mirel
