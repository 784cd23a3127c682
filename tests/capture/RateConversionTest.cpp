// The conversion of a file's rate, measured at the converter's float output: a tone above the new
// half rate is filtered out, a tone in the band keeps its level and gains no other component.
#include "capture/FileStream.h"

#include <fftw3.h>
#include <sndfile.h>

#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <complex>
#include <gtest/gtest.h>
#include <numbers>
#include <ostream>
#include <vector>

using namespace mirel;

namespace {

constexpr double Volts = 0.5;

struct ConversionCase {
    int fileRate;
    int rate;
    double frequency;  // of the file's tone, 0.5 V on channel A
};

void PrintTo(const ConversionCase& c, std::ostream* out)
{
    *out << c.frequency << " Hz, " << c.fileRate << " Hz to " << c.rate << " Hz";
}

// Decibels of each bin of a Kaiser-windowed (beta 20: side lobes far below -150 dB) spectrum of
// `samples`, relative to a 0.5 V tone that falls on a bin.
std::vector<double> spectrumDb(const std::vector<double>& samples)
{
    const size_t n = samples.size();
    std::vector<double> windowed(n);
    double gain = 0.0;
    const double i0 = std::cyl_bessel_i(0.0, 20.0);
    for (size_t i = 0; i < n; ++i) {
        const double x = 2.0 * static_cast<double>(i) / static_cast<double>(n - 1) - 1.0;
        const double w = std::cyl_bessel_i(0.0, 20.0 * std::sqrt(1.0 - x * x)) / i0;
        windowed[i] = samples[i] * w;
        gain += w;
    }
    std::vector<std::complex<double>> bins(n / 2 + 1);
    fftw_plan plan = fftw_plan_dft_r2c_1d(static_cast<int>(n), windowed.data(),
                                          reinterpret_cast<fftw_complex*>(bins.data()), FFTW_ESTIMATE);
    fftw_execute(plan);
    fftw_destroy_plan(plan);
    std::vector<double> db(bins.size());
    for (size_t k = 0; k < bins.size(); ++k)
        db[k] = 20.0 * std::log10(std::max(2.0 * std::abs(bins[k]) / gain / Volts, 1e-30));
    return db;
}

class RateConversion : public ::testing::TestWithParam<ConversionCase> {
protected:
    // Half a second of channel A at the converted rate, from a quarter of a second on (past the
    // converter's start), across the seam of a file of half a second that loops.
    std::vector<double> convertedTone()
    {
        const ConversionCase c = GetParam();
        const std::string path = dir_.filePath("tone.wav").toStdString();
        SF_INFO info{};
        info.samplerate = c.fileRate;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
        SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
        EXPECT_NE(file, nullptr) << sf_strerror(nullptr);
        std::vector<float> tone(static_cast<size_t>(c.fileRate / 2));
        for (size_t i = 0; i < tone.size(); ++i)
            tone[i] = static_cast<float>(
                Volts * std::sin(2.0 * std::numbers::pi * c.frequency * static_cast<double>(i) / c.fileRate));
        EXPECT_EQ(sf_writef_float(file, tone.data(), static_cast<sf_count_t>(tone.size())),
                  static_cast<sf_count_t>(tone.size()));
        sf_close(file);

        std::string error;
        const std::unique_ptr<FileStream> stream = FileStream::open(path, c.rate, error);
        EXPECT_TRUE(stream) << error;
        if (!stream)
            return {};
        EXPECT_TRUE(stream->converting());
        // Read in pieces of odd sizes, as the capture asks for them.
        std::vector<float> frames(static_cast<size_t>(c.rate / 4 + c.rate / 2) * 2);
        for (size_t done = 0, piece = 1; done < frames.size() / 2; piece = piece * 7 % 1999 + 1) {
            const size_t count = std::min(piece, frames.size() / 2 - done);
            stream->read(frames.data() + 2 * done, static_cast<int>(count));
            done += count;
        }
        std::vector<double> a;
        for (size_t i = static_cast<size_t>(c.rate / 4); i < frames.size() / 2; ++i) {
            a.push_back(frames[2 * i]);
            EXPECT_EQ(frames[2 * i + 1], frames[2 * i]) << "a mono file feeds both channels";
        }
        return a;
    }

private:
    QTemporaryDir dir_;
};

using ToneBeyondHalfTheRate = RateConversion;
using ToneInTheBand = RateConversion;

TEST_P(ToneBeyondHalfTheRate, IsFilteredOutNotFoldedBack)
{
    const std::vector<double> db = spectrumDb(convertedTone());
    ASSERT_FALSE(db.empty());
    const auto loudest = std::max_element(db.begin(), db.end());
    EXPECT_LT(*loudest, -100.0) << "at " << (loudest - db.begin()) * 2 << " Hz";
}

TEST_P(ToneInTheBand, KeepsItsLevelAndGainsNoOtherComponent)
{
    const std::vector<double> db = spectrumDb(convertedTone());
    ASSERT_FALSE(db.empty());
    const auto toneBin = static_cast<std::ptrdiff_t>(GetParam().frequency / 2.0);  // 2 Hz a bin
    EXPECT_NEAR(db[static_cast<size_t>(toneBin)], 0.0, 0.01);
    double other = -400.0;
    std::ptrdiff_t where = 0;
    for (std::ptrdiff_t k = 0; k < static_cast<std::ptrdiff_t>(db.size()); ++k)
        if (std::abs(k - toneBin) > 12 && db[static_cast<size_t>(k)] > other) {
            other = db[static_cast<size_t>(k)];
            where = k;
        }
    EXPECT_LT(other - db[static_cast<size_t>(toneBin)], -100.0) << "at " << where * 2 << " Hz";
}

std::string caseName(const ::testing::TestParamInfo<ConversionCase>& info)
{
    return std::to_string(info.param.fileRate) + "_to_" + std::to_string(info.param.rate) + "_" +
           std::to_string(static_cast<int>(info.param.frequency)) + "Hz";
}

INSTANTIATE_TEST_SUITE_P(Rates, ToneBeyondHalfTheRate,
                         ::testing::Values(ConversionCase{96000, 48000, 30000}, ConversionCase{44100, 32000, 20000}),
                         caseName);
INSTANTIATE_TEST_SUITE_P(Rates, ToneInTheBand,
                         ::testing::Values(ConversionCase{96000, 48000, 1000}, ConversionCase{44100, 32000, 1000},
                                           ConversionCase{22050, 8000, 1000}),
                         caseName);

}  // namespace
