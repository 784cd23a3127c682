// The audio-file input: files written here with libsndfile are played through the capture engine
// in real time and the blocks that reach the window are checked against what the files hold.
#include "capture/FileInput.h"
#include "capture/TWaveRecorder.h"
#include "support/BlockCollector.h"

#include <sndfile.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <numbers>
#include <sys/stat.h>
#include <vector>

using namespace mirel;

namespace {

// Writes a 16-bit WAV file; `sample(frame, channel)` gives each sample.
void writeWav(const std::string& path, int rate, int channels, int frames,
              const std::function<std::int16_t(int, int)>& sample)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    std::vector<short> data(static_cast<size_t>(frames) * static_cast<size_t>(channels));
    for (int f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c)
            data[static_cast<size_t>(f * channels + c)] = sample(f, c);
    ASSERT_EQ(sf_writef_short(file, data.data(), frames), frames);
    sf_close(file);
}

std::int16_t tone(double frequency, double volts, int frame, int rate)
{
    return static_cast<std::int16_t>(
        std::lround(volts * 32767.0 * std::sin(2.0 * std::numbers::pi * frequency * frame / rate)));
}

using Window = mirel::test::BlockCollector;

std::vector<int> channel(const std::vector<std::uint8_t>& block, int index, int bits)
{
    std::vector<int> samples;
    if (bits == 8) {
        for (size_t i = static_cast<size_t>(index); i < block.size(); i += 2)
            samples.push_back(block[i] - 128);
        return samples;
    }
    for (size_t i = static_cast<size_t>(index) * 2; i + 1 < block.size(); i += 4) {
        std::int16_t s;
        std::memcpy(&s, &block[i], 2);
        samples.push_back(s);
    }
    return samples;
}

// Frequency from the first and last rising zero crossing, each placed between samples by linear
// interpolation: precise to a small fraction of a hertz over a few hundred periods.
double measuredFrequency(const std::vector<int>& samples, int rate)
{
    double first = -1.0;
    double last = -1.0;
    int crossings = 0;
    for (size_t j = 1; j < samples.size(); ++j) {
        const int before = samples[j - 1];
        const int now = samples[j];
        if (before < 0 && now >= 0) {
            const double t = static_cast<double>(j - 1) + static_cast<double>(-before) / (now - before);
            if (first < 0)
                first = t;
            last = t;
            ++crossings;
        }
    }
    if (crossings < 2)
        return 0.0;
    return (crossings - 1) / (last - first) * rate;
}

int peak(const std::vector<int>& samples)
{
    int p = 0;
    for (int s : samples)
        p = std::max(p, std::abs(s));
    return p;
}

struct FileCapture : ::testing::Test {
    QTemporaryDir dir;
    std::unique_ptr<FileInput> input;
    std::unique_ptr<TWaveRecorder> recorder;
    std::unique_ptr<Window> window;

    std::string pathOf(const char* name) { return dir.filePath(name).toStdString(); }

    void openFile(const std::string& path)
    {
        std::string error;
        input = FileInput::open(path, error);
        ASSERT_TRUE(input) << error;
        EXPECT_TRUE(error.empty());
        recorder = std::make_unique<TWaveRecorder>(*input);
        window = std::make_unique<Window>(*recorder);
    }

    // Captures `count` blocks of `frames` frames and stops.
    void capture(int rate, int bits, int frames, size_t count)
    {
        ASSERT_TRUE(recorder->StartRecording(0, 2, rate, bits, window.get(), frames, &window->buffer))
            << recorder->ErrorText;
        const int timeout = 3000 + static_cast<int>(count) * frames * 1000 / rate * 2;
        ASSERT_TRUE(window->waitForBlocks(count, timeout)) << "blocks: " << window->blocks.size();
        recorder->StopRecording();
        for (const auto& block : window->blocks)
            ASSERT_EQ(block.size(), static_cast<size_t>(frames) * 2 * (bits / 8)) << "a block is not full";
    }

    void TearDown() override
    {
        recorder.reset();  // stops a capture that a failed assertion left running, while its window exists
        window.reset();
    }
};

class FileAtItsOwnRate : public FileCapture, public ::testing::WithParamInterface<int> {};

TEST_P(FileAtItsOwnRate, PassesSamplesThroughAndBlocksContinueAcrossTheLoop)
{
    // A: a rising ramp over a tenth of a second; B: samples scattered over the whole 16-bit range,
    // which any conversion would change. The blocks, taken together, must play the file from its
    // first frame on, each frame following the previous one, across the seam of the loop and
    // across the blocks, although the window keeps each buffer a while.
    const int rate = GetParam();
    const int frames = rate / 10;
    auto scattered = [](int f) { return static_cast<int>(static_cast<std::uint32_t>(f) * 2654435761u >> 16) - 32768; };
    const std::string path = pathOf("ramp.wav");
    writeWav(path, rate, 2, frames,
             [&](int f, int c) { return static_cast<std::int16_t>(c == 0 ? f - frames / 2 : scattered(f)); });
    openFile(path);
    ASSERT_EQ(input->ownRate(0), rate);
    window->holdMs = 30;
    capture(rate, 16, frames + 1, 3);

    std::vector<int> a;
    std::vector<int> b;
    for (const auto& block : window->blocks) {
        const std::vector<int> blockA = channel(block, 0, 16);
        const std::vector<int> blockB = channel(block, 1, 16);
        a.insert(a.end(), blockA.begin(), blockA.end());
        b.insert(b.end(), blockB.begin(), blockB.end());
    }
    int broken = 0;
    for (size_t j = 0; j < a.size(); ++j) {
        const int f = static_cast<int>(j) % frames;
        broken += a[j] != f - frames / 2;
        broken += b[j] != scattered(f);
    }
    EXPECT_EQ(broken, 0) << "samples changed, channels swapped, or frames lost or repeated";
    EXPECT_EQ(recorder->LostFrames, 0);
}

INSTANTIATE_TEST_SUITE_P(Rates, FileAtItsOwnRate, ::testing::Values(48000, 44100, 22050, 8000));

TEST_F(FileCapture, NotANumberAndInfiniteSamplesPlayAsSilence)
{
    const std::string path = pathOf("damaged.wav");
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const std::vector<float> frames = {0.5f, -inf, nan, 0.5f, inf, nan, -0.25f, 1e30f};
    SF_INFO info{};
    info.samplerate = 8000;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    ASSERT_EQ(sf_writef_float(file, frames.data(), 4), 4);
    sf_close(file);

    openFile(path);
    capture(8000, 16, 8, 1);
    const std::vector<int> expected16 = {16384, 0, 0, 16384, 0, 0, -8192, 32767};
    const std::vector<int> a = channel(window->blocks[0], 0, 16);
    const std::vector<int> b = channel(window->blocks[0], 1, 16);
    for (size_t f = 0; f < 8; ++f) {
        EXPECT_EQ(a[f], expected16[2 * (f % 4)]) << "frame " << f;
        EXPECT_EQ(b[f], expected16[2 * (f % 4) + 1]) << "frame " << f;
    }

    window->blocks.clear();
    capture(8000, 8, 4, 1);
    EXPECT_EQ(channel(window->blocks[0], 0, 8), (std::vector<int>{64, 0, 0, -32}));
    EXPECT_EQ(channel(window->blocks[0], 1, 8), (std::vector<int>{0, 64, 0, 127}));
}

TEST_F(FileCapture, StereoTonesArriveOnTheirOwnChannelsInEightBits)
{
    const std::string path = pathOf("tones.wav");
    writeWav(path, 48000, 2, 48000,
             [](int f, int c) { return c == 0 ? tone(1000, 0.5, f, 48000) : tone(3000, 0.25, f, 48000); });
    openFile(path);
    capture(48000, 8, 4800, 2);
    for (const auto& block : window->blocks) {
        const std::vector<int> a = channel(block, 0, 8);
        const std::vector<int> b = channel(block, 1, 8);
        EXPECT_NEAR(measuredFrequency(a, 48000), 1000.0, 5.0);
        EXPECT_NEAR(measuredFrequency(b, 48000), 3000.0, 15.0);
        EXPECT_NEAR(peak(a), 64, 2);
        EXPECT_NEAR(peak(b), 32, 2);
    }
}

TEST_F(FileCapture, MonoFileFeedsBothChannels)
{
    const std::string path = pathOf("mono.wav");
    writeWav(path, 48000, 1, 24000, [](int f, int) { return tone(1000, 0.5, f, 48000); });
    openFile(path);
    capture(48000, 16, 4800, 1);
    const std::vector<int> a = channel(window->blocks[0], 0, 16);
    const std::vector<int> b = channel(window->blocks[0], 1, 16);
    EXPECT_EQ(a, b);
    EXPECT_NEAR(peak(a), 16384, 100);
}

TEST_F(FileCapture, OfManyChannelsTheFirstTwoAreTaken)
{
    const std::string path = pathOf("three.wav");
    writeWav(path, 8000, 3, 800, [](int, int c) {
        return static_cast<std::int16_t>(c == 0 ? 1000 : c == 1 ? -2000 : 3000);
    });
    openFile(path);
    EXPECT_EQ(input->fileChannels(), 3);
    capture(8000, 16, 800, 1);
    const std::vector<int> a = channel(window->blocks[0], 0, 16);
    const std::vector<int> b = channel(window->blocks[0], 1, 16);
    EXPECT_EQ(std::count(a.begin(), a.end(), 1000), 800);
    EXPECT_EQ(std::count(b.begin(), b.end(), -2000), 800);
}

struct RateCase {
    int fileRate;
    int captureRate;
};

class FileRateConversion : public FileCapture, public ::testing::WithParamInterface<RateCase> {};

TEST_P(FileRateConversion, ToneKeepsItsTrueFrequency)
{
    const RateCase rates = GetParam();
    const std::string path = pathOf("tone.wav");
    writeWav(path, rates.fileRate, 1, rates.fileRate, [&](int f, int) { return tone(1000, 0.5, f, rates.fileRate); });
    openFile(path);
    EXPECT_EQ(input->fileRate(), rates.fileRate);
    // A quarter of a second: 250 periods, enough to tell 1000 Hz from the 997.7 Hz that playing
    // 44100 Hz samples at 44000 Hz unconverted would give.
    capture(rates.captureRate, 16, rates.captureRate / 4, 2);
    for (const auto& block : window->blocks) {
        const std::vector<int> a = channel(block, 0, 16);
        EXPECT_NEAR(measuredFrequency(a, rates.captureRate), 1000.0, 0.5);
        EXPECT_NEAR(peak(a), 16384, 500);
    }
}

INSTANTIATE_TEST_SUITE_P(Rates, FileRateConversion,
                         ::testing::Values(RateCase{44100, 44000}, RateCase{96000, 48000}, RateCase{22050, 11025},
                                           RateCase{44100, 44100}),
                         [](const ::testing::TestParamInfo<RateCase>& info) {
                             return "file" + std::to_string(info.param.fileRate) + "_capture" +
                                    std::to_string(info.param.captureRate);
                         });

TEST_F(FileCapture, OpensAtRatesUpToTheFilesOwn)
{
    const std::string path = pathOf("cd.wav");
    writeWav(path, 44100, 2, 100, [](int, int) { return std::int16_t{0}; });
    openFile(path);
    EXPECT_EQ(input->deviceCount(), 1);
    std::string name;
    ASSERT_EQ(input->deviceName(0, name), MMSYSERR_NOERROR);
    EXPECT_EQ(name, "cd.wav");
    EXPECT_EQ(input->deviceName(1, name), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(input->ownRate(0), 44100);
    EXPECT_EQ(input->ownRate(1), 0);

    auto supported = [&](int rate, int bits = 16, int channels = 2) {
        return input->isFormatSupported(0, WaveFormat{channels, rate, bits});
    };
    EXPECT_EQ(supported(44100), MMSYSERR_NOERROR);
    EXPECT_EQ(supported(44000), MMSYSERR_NOERROR);
    EXPECT_EQ(supported(1000, 8), MMSYSERR_NOERROR);
    EXPECT_EQ(supported(45000), WAVERR_BADFORMAT);
    EXPECT_EQ(supported(48000), WAVERR_BADFORMAT);
    EXPECT_EQ(supported(999), WAVERR_BADFORMAT);
    EXPECT_EQ(supported(44100, 24), WAVERR_BADFORMAT);
    EXPECT_EQ(supported(44100, 16, 1), WAVERR_BADFORMAT);
    // Beyond the file's own rate it does not open.
    EXPECT_FALSE(recorder->StartRecording(0, 2, 45000, 16, window.get(), 100, &window->buffer));
    EXPECT_FALSE(recorder->ErrorText.empty());
}

TEST(FileInputOpening, MissingOrUnreadableFilesAreRefusedWithAReason)
{
    QTemporaryDir dir;
    const std::string missing = dir.filePath("nowhere.wav").toStdString();
    std::string error;
    EXPECT_EQ(FileInput::open(missing, error), nullptr);
    EXPECT_NE(error.find(missing), std::string::npos) << error;
    EXPECT_NE(error.find("такого файла нет"), std::string::npos) << error;

    const std::string text = dir.filePath("notes.wav").toStdString();
    std::ofstream(text) << "this is not a sound file\n";
    error.clear();
    EXPECT_EQ(FileInput::open(text, error), nullptr);
    EXPECT_NE(error.find(text), std::string::npos) << error;
    EXPECT_NE(error.find("формат файла не распознан"), std::string::npos) << error;

    error.clear();
    EXPECT_EQ(FileInput::open(dir.path().toStdString(), error), nullptr);
    EXPECT_FALSE(error.empty());

    // A pipe or standard input would block the start waiting for a writer.
    const std::string fifo = dir.filePath("pipe.wav").toStdString();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string("-")}) {
        error.clear();
        EXPECT_EQ(FileInput::open(path, error), nullptr) << path;
        EXPECT_NE(error.find("не обычный файл"), std::string::npos) << error;
    }
}

}  // namespace
