// The spectrogram on generated signals fed in chunks of any size: where each line lies in the
// input, its levels and its strongest bin, the colours of its levels and the pixel columns of its
// bins, and the data as CSV.
#include "spectrum/FrequencyAxis.h"
#include "spectrum/SpectrogramLines.h"
#include "spectrum/SpectrogramRaster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <span>
#include <vector>

namespace mirel::spectrum {
namespace {

using Samples = std::vector<std::int16_t>;
constexpr double Pi = std::numbers::pi;

// `count` samples of a signal given in volts at sample i (1 V = 32768).
Samples Generate(std::int64_t count, const std::function<double(std::int64_t)>& volts)
{
    Samples s(static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i)
        s[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(std::lround(volts(i) * 32768));
    return s;
}

SpectrogramSettings Settings(int rate, int n, int lines, WindowKind window = WindowKind::Rectangular,
                             bool amplitude = true, int capacity = 1000)
{
    return {rate, n, lines, window, amplitude, 0, rate / 2, false, capacity};
}

// Feeds A (and B, zeros when empty) in chunks of irregular sizes, from 1 sample to 3 s; each line
// that falls due is drawn into `raster` as the window draws it.
void FeedInChunks(SpectrogramLines& lines, const Samples& a, const Samples& b = {}, SpectrogramRaster* raster = nullptr)
{
    static constexpr std::size_t sizes[] = {1, 7, 1000, 127, 144000, 3, 4096};
    for (std::size_t at = 0, i = 0; at < a.size(); ++i) {
        const std::size_t size = std::min(sizes[i % std::size(sizes)], a.size() - at);
        const auto part = [&](const Samples& s) { return std::span(s).subspan(std::min(at, s.size())); };
        const int made = lines.Feed(part(a).first(size), part(b).first(std::min(size, part(b).size())));
        for (int age = made - 1; raster && age >= 0; --age)
            raster->AddLine(lines.LineDb(0, age), 0, 100, ColourMap::Viridis);
        at += size;
    }
}

const PlotGeometry kStripe{0, 0, 20, 20, 300, 30};

// The picture's rows as the window shows them, newest at the top.
std::vector<std::uint32_t> Picture(const SpectrogramRaster& r)
{
    std::vector<std::uint32_t> rows(r.Parts().First.begin(), r.Parts().First.end());
    rows.insert(rows.end(), r.Parts().Second.begin(), r.Parts().Second.end());
    return rows;
}

float Strongest(std::span<const float> db)
{
    return *std::max_element(db.begin(), db.end());
}

TEST(Spectrogram, StrongestBinFollowsALinearChirp)
{
    // 100 Hz → 5 kHz over 10 s: the frequency at the line's centre, E_k − N/2, within one bin.
    constexpr int rate = 48000, n = 2048;
    SpectrogramLines lines;
    lines.Configure(Settings(rate, n, 50, WindowKind::Hann));
    SpectrogramRaster added, redrawn;
    for (SpectrogramRaster* r : {&added, &redrawn})
        r->Configure({rate, n, 0, 6000, true}, kStripe);  // the logarithmic axis over 0 … 6 kHz
    const Samples chirp = Generate(10 * rate, [](std::int64_t i) {
        const double t = static_cast<double>(i) / rate;
        return 0.5 * std::sin(2 * Pi * (100 * t + 245 * t * t));
    });
    FeedInChunks(lines, chirp, {}, &added);
    ASSERT_EQ(lines.Count(), (10 * rate - n) / (rate / 50) + 1);
    for (int age = 0; age < lines.Count(); ++age) {
        const std::span<const float> db = lines.LineDb(0, age);
        const auto peak = std::max_element(db.begin(), db.end()) - db.begin();
        const double centre = static_cast<double>(lines.LineEnd(age) - n / 2) / rate;
        const double expected = (100 + 490 * centre) * n / rate;
        EXPECT_NEAR(static_cast<double>(lines.Bins().FirstBin + 1 + peak), expected, 1.0) << "line " << age;
    }
    // The picture added line by line is the one drawn again from the stored lines.
    redrawn.Redraw(lines, 0, 0, 100, ColourMap::Viridis);
    EXPECT_EQ(Picture(added), Picture(redrawn));
}

// A 0.1 V sine in every line, on channel A only: its level in the line, and B's line silent,
// drawn in the lowest colour.
struct SineCase {
    WindowKind Window;
    bool Amplitude;
    double Hz;
    double Db;  // 20·lg 0.1 V, or 10·lg of 0.1² V² over the window's noise bandwidth in bins
};

class SpectrogramSine : public testing::TestWithParam<SineCase> {};

TEST_P(SpectrogramSine, ReadsItsLevelInEveryLine)
{
    const SineCase c = GetParam();
    constexpr int rate = 48000;
    SpectrogramLines lines;
    lines.Configure(Settings(rate, 2048, 25, c.Window, c.Amplitude, 40));
    FeedInChunks(lines, Generate(2 * rate, [&](std::int64_t i) { return 0.1 * std::sin(2 * Pi * c.Hz * i / rate); }));
    ASSERT_EQ(lines.Count(), 40);
    for (int age = 0; age < lines.Count(); ++age) {
        EXPECT_NEAR(Strongest(lines.LineDb(0, age)), c.Db, 0.05) << "line " << age;
        EXPECT_EQ(Strongest(lines.LineDb(1, age)), -std::numeric_limits<float>::infinity());
    }
    SpectrogramRaster silent;
    silent.Configure(lines.Axis(), kStripe);
    silent.Redraw(lines, 1, 0, 100, ColourMap::Viridis);
    EXPECT_EQ(Picture(silent), std::vector<std::uint32_t>(300 * 30, ColourTableOf(ColourMap::Viridis)[0]));
}

INSTANTIATE_TEST_SUITE_P(Windows, SpectrogramSine,
                         testing::Values(SineCase{WindowKind::Rectangular, true, 300 * 48000.0 / 2048, -20},
                                         SineCase{WindowKind::FlatTop, true, 1000, -20},
                                         SineCase{WindowKind::Hann, false, 300 * 48000.0 / 2048,
                                                  -20 - 10 * std::log10(1.5)}));

// Over 60 s, each line covers exactly the samples E_k − N … E_k − 1, E_k = N + floor(k R / L): an
// impulse on the first or last sample of a line's stretch, or just outside it, shows in exactly
// the lines whose stretch holds it. No line repeats or goes missing; line k's time is k / L.
struct TimingCase {
    int Rate, FftLength, LinesPerSecond;
};

class SpectrogramTiming : public testing::TestWithParam<TimingCase> {};

TEST_P(SpectrogramTiming, LinesTileTheInputEvenly)
{
    const TimingCase c = GetParam();
    const auto end = [&](std::int64_t k) { return c.FftLength + k * c.Rate / c.LinesPerSecond; };
    const std::int64_t total = 60LL * c.Rate;
    std::vector<std::int64_t> impulses;
    const std::int64_t spacing = c.FftLength / (c.Rate / c.LinesPerSecond) + 4;  // lines between impulses
    for (std::int64_t k = 1, j = 0; end(k) + c.FftLength < total; k += spacing, ++j)
        impulses.push_back(std::array{end(k) - 1, end(k), end(k) - c.FftLength, end(k) - c.FftLength - 1}[j % 4]);
    Samples a(static_cast<std::size_t>(total));
    for (const std::int64_t p : impulses)
        a[static_cast<std::size_t>(p)] = 16384;

    SpectrogramLines lines;
    std::int64_t count = 0;
    while (end(count) <= total)
        ++count;
    lines.Configure(Settings(c.Rate, c.FftLength, c.LinesPerSecond, WindowKind::Rectangular, true, int(count)));
    FeedInChunks(lines, a, a);
    ASSERT_EQ(lines.Count(), count);
    for (int age = 0; age < lines.Count(); ++age) {
        const std::int64_t k = count - 1 - age;
        ASSERT_EQ(lines.LineNumber(age), k);
        EXPECT_EQ(lines.LineTime(age), static_cast<double>(k) / c.LinesPerSecond);
        const bool holds =
            std::ranges::any_of(impulses, [&](std::int64_t p) { return p >= end(k) - c.FftLength && p < end(k); });
        EXPECT_EQ(std::isfinite(Strongest(lines.LineDb(1, age))), holds) << "line " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Rates, SpectrogramTiming,
                         testing::Values(TimingCase{44100, 256, 100}, TimingCase{11025, 256, 100},
                                         TimingCase{48000, 2048, 25}, TimingCase{48000, 256, 10}));

TEST(Spectrogram, ColourOfALevel)
{
    EXPECT_EQ(ColourTableOf(ColourMap::Viridis)[0], 0xff440154u);  // the published first and last colours
    EXPECT_EQ(ColourTableOf(ColourMap::Viridis)[255], 0xfffde725u);
    EXPECT_EQ(ColourTableOf(ColourMap::Grey)[0], 0xff000000u);
    EXPECT_EQ(ColourTableOf(ColourMap::Grey)[255], 0xffffffffu);
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double Db;
        int Index;
    } cases[] = {{-100, 0},   {-100.1, 0}, {-inf, 0}, {std::nan(""), 0}, {-50, 128}, {-0.5, 254},
                 {-0.2, 255}, {0, 255},    {12, 255}, {-99.7, 0},        {-99.6, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(ColourIndex(c.Db, 0, 100), c.Index) << c.Db;
}

// Each pixel column shows the largest level of the bins whose column on the spectrum's axis it is;
// a column without one shows the bin on its left (the first bin, left of all).
struct ColumnCase {
    bool Logarithmic;
    int Width;
};

class SpectrogramColumns : public testing::TestWithParam<ColumnCase> {};

TEST_P(SpectrogramColumns, EachBinInItsSpectrumColumn)
{
    const ColumnCase c = GetParam();
    const SpectrogramAxis axis{48000, 256, 0, 3000, c.Logarithmic};  // bins of 187.5 Hz
    const PlotGeometry stripe{0, 0, 40, 20, c.Width, 2};
    SpectrogramRaster raster;
    raster.Configure(axis, stripe);
    const BinRange range = ShownBinRange(0, 3000, 256, 48000, c.Width, c.Logarithmic);
    const FrequencyScale scale = FrequencyScaleFor(stripe, 0, 3000, c.Logarithmic, 256, 48000);
    std::vector<float> db;    // grey 16·i for the bins in a scrambled order
    std::vector<int> column;  // as the spectrum puts them
    for (int i = 0; i < range.Count(); ++i) {
        db.push_back(static_cast<float>(-256 + 16 * ((i * 7) % range.Count()) + 0.5));
        const double x =
            c.Logarithmic ? FrequencyX((range.FirstBin + 1 + i) * 187.5, scale) : 40 + (i + 1) * range.PixelsPerBin;
        column.push_back(std::min(static_cast<int>(x), 40 + c.Width - 1) - 40);
    }
    raster.AddLine(db, 0, 256, ColourMap::Grey);
    for (int x = 0; x < c.Width; ++x) {
        float expected = db[0];
        if (std::ranges::count(column, x) > 0) {
            expected = -256;
            for (std::size_t i = 0; i < db.size(); ++i)
                expected = column[i] == x ? std::max(expected, db[i]) : expected;
        } else {
            for (std::size_t i = 0; i < db.size() && column[i] < x; ++i)
                expected = db[i];
        }
        EXPECT_EQ(raster.Row(0)[static_cast<std::size_t>(x)] & 0xff, static_cast<std::uint32_t>(expected + 256))
            << "column " << x;
    }
}

INSTANTIATE_TEST_SUITE_P(Axes, SpectrogramColumns,
                         testing::Values(ColumnCase{false, 45}, ColumnCase{false, 5}, ColumnCase{true, 70},
                                         ColumnCase{true, 7}));

TEST(Spectrogram, CsvOfTheStoredLines)
{
    // Three lines of silence, two kept; the logarithmic axis shows bin 1 as well.
    SpectrogramSettings s = Settings(48000, 256, 10, WindowKind::Rectangular, true, 2);
    s.HighFrequency = 1000;
    SpectrogramLines lines;
    lines.Configure(s);
    EXPECT_EQ(lines.Feed(Samples(256 + 2 * 4800), {}), 3);
    EXPECT_FALSE(lines.Configure(s));
    EXPECT_EQ(lines.Csv(true, true), "channel,time_s,375,562.5,750\r\nA,0,-inf,-inf,-inf\r\nB,0,-inf,-inf,-inf\r\n"
                                     "A,0.1,-inf,-inf,-inf\r\nB,0.1,-inf,-inf,-inf\r\n");
    s.LogFrequency = true;
    EXPECT_FALSE(lines.Configure(s));
    EXPECT_EQ(lines.Csv(false, true), "channel,time_s,187.5,375,562.5,750\r\nB,0,-inf,-inf,-inf,-inf\r\n"
                                      "B,0.1,-inf,-inf,-inf,-inf\r\n");
    // More room keeps the lines and takes the next ones too; less keeps the newest.
    for (const int capacity : {3, 2}) {
        s.Capacity = capacity;
        EXPECT_FALSE(lines.Configure(s));
        EXPECT_EQ(lines.Feed(Samples(4800), {}), 1);
    }
    std::vector<std::int64_t> numbers;
    for (int age = 0; age < lines.Count(); ++age)
        numbers.push_back(lines.LineNumber(age));
    EXPECT_EQ(numbers, std::vector<std::int64_t>({4, 3}));
}

}  // namespace
}  // namespace mirel::spectrum
