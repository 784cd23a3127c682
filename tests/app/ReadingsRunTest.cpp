// The readings of a recording through the built program: the command line, the table's columns
// and the values of two known tones as each instrument's window measures them, block by block.
#include "ProgramRun.h"
#include "app/BatchCommandLine.h"
#include "common/ExportText.h"

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

using namespace mirel;

namespace {

constexpr int Rate = 48000;
// Two tones off the spectrum's bins: A 0.5 V at 1000.3 Hz, B 0.3 V at 317.7 Hz.
constexpr double Frequency[] = {1000.3, 317.7};
constexpr double Amplitude[] = {0.5, 0.3};

TEST(ReadingsCommandLine, NeedsAnInstrumentAndTakesOnlyItsOptions)
{
    const BatchCommand good = parseBatchCommand({"measure", "readings", "--input", "a.wav", "--instrument", "spectrum",
                                                 "--set", "cb2k=1", "--blocks", "3", "--output", "r.csv"});
    EXPECT_TRUE(good.error.empty()) << good.error;
    EXPECT_EQ(good.measured, "spectrum");
    EXPECT_EQ(good.blocks, 3);
    EXPECT_EQ(good.settings.size(), 1u);
    for (const std::vector<std::string>& tail : std::vector<std::vector<std::string>>{
             {"--input", "a.wav", "--output", "r.csv"},
             {"--input", "a.wav", "--instrument", "statistics", "--output", "r.csv"},
             {"--input", "a.wav", "--instrument", "density", "--duration", "5", "--output", "r.csv"},
             {"--input", "a.wav", "--instrument", "density", "--size", "600x500", "--output", "r.csv"}}) {
        std::vector<std::string> words{"measure", "readings"};
        words.insert(words.end(), tail.begin(), tail.end());
        EXPECT_TRUE(readsRussian(parseBatchCommand(words).error)) << tail[3];
    }
}

// A control the window lacks (2) and an output that cannot be written (1) leave no file.
TEST(ReadingsRun, FailuresWriteNothing)
{
    QTemporaryDir dir;
    const QString output = dir.filePath("r.csv");
    const QStringList source{"measure", "readings", "--generator", "A=sine", "--instrument", "density"};
    EXPECT_EQ(runProgram(source + QStringList{"--set", "udX=3", "--output", output}).exitCode, 2);
    EXPECT_EQ(runProgram(source + QStringList{"--output", dir.filePath("r.csv/r.csv")}).exitCode, 1);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{});
}

// One parsed row: the cells after the block and the channel, NaN where empty.
struct Row {
    std::string Block;
    std::string Channel;
    std::vector<double> Cells;
};

std::vector<Row> parseRows(const QByteArray& csv, std::string& header)
{
    std::istringstream lines(csv.toStdString());
    std::getline(lines, header);
    std::vector<Row> rows;
    for (std::string line; std::getline(lines, line);) {
        EXPECT_TRUE(line.ends_with('\r'));
        line.pop_back();
        std::istringstream cells(line);
        Row row;
        std::getline(cells, row.Block, ',');
        std::getline(cells, row.Channel, ',');
        for (std::string cell; std::getline(cells, cell, ',');)
            row.Cells.push_back(cell.empty() ? NAN : std::stod(cell));
        if (line.ends_with(','))
            row.Cells.push_back(NAN);
        rows.push_back(row);
    }
    return rows;
}

// A filled column: its index among the cells after the channel, and its value for channel c.
struct Expected {
    int Column;
    double (*Value)(int c);
    double Tolerance;  // relative, or absolute where Value is 0
};

struct Instrument {
    const char* Name;
    std::vector<Expected> Filled;
};

void PrintTo(const Instrument& instrument, std::ostream* out)
{
    *out << instrument.Name;
}

class MeasuresEveryShownChannelOfEveryBlock : public testing::TestWithParam<Instrument> {};

TEST_P(MeasuresEveryShownChannelOfEveryBlock, OfTwoTonesInAFile)
{
    const Instrument& instrument = GetParam();
    QTemporaryDir dir;
    const QString input = dir.filePath("tones.wav");
    // Two seconds, so that neither block of the spectrum's 32768 points reaches the loop's seam.
    std::vector<short> frames(2 * 2 * Rate);
    for (int i = 0; i < 2 * Rate; ++i)
        for (int c = 0; c < 2; ++c)
            frames[static_cast<size_t>(2 * i + c)] =
                static_cast<short>(std::lround(32768 * Amplitude[c] * std::sin(2 * M_PI * Frequency[c] * i / Rate)));
    writeStereoWav(input, Rate, frames);

    const QString output = dir.filePath("r.csv");
    const ProgramRun run = runProgram({"measure", "readings", "--input", input, "--instrument", instrument.Name,
                                       "--set", "cb2k=1", "--blocks", "2", "--output", output});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    std::string header;
    const std::vector<Row> rows = parseRows(contents(output), header);
    EXPECT_EQ(header, std::string(ReadingsCsvHeader) + "\r");
    ASSERT_EQ(rows.size(), 4u);
    for (size_t r = 0; r < rows.size(); ++r) {
        const Row& row = rows[r];
        const int c = static_cast<int>(r % 2);
        EXPECT_EQ(row.Block, std::to_string(r / 2 + 1));
        EXPECT_EQ(row.Channel, c == 0 ? "A" : "B");
        ASSERT_EQ(row.Cells.size(), 13u);
        for (int column = 0; column < 13; ++column) {
            const auto filled = std::find_if(instrument.Filled.begin(), instrument.Filled.end(),
                                             [column](const Expected& e) { return e.Column == column; });
            const double cell = row.Cells[static_cast<size_t>(column)];
            if (filled == instrument.Filled.end()) {
                EXPECT_TRUE(std::isnan(cell)) << "column " << column << " of row " << r;
                continue;
            }
            const double exact = filled->Value(c);
            EXPECT_NEAR(cell, exact, exact == 0 ? filled->Tolerance : std::fabs(exact) * filled->Tolerance)
                << instrument.Name << " column " << column << " of row " << r;
        }
    }
}

double frequency(int c)
{
    return Frequency[c];
}
double period(int c)
{
    return 1 / Frequency[c];
}
double peak(int c)
{
    return Amplitude[c];
}
double trough(int c)
{
    return -Amplitude[c];
}
double peakToPeak(int c)
{
    return 2 * Amplitude[c];
}
double rms(int c)
{
    return Amplitude[c] / std::sqrt(2.0);
}
double zero(int)
{
    return 0;
}

// Columns after the channel: 0 frequency, 1 period, 2 max, 3 min, 4 peak-to-peak, 5 mean, 6 RMS,
// 7 peak frequency, 8 peak amplitude, 9 THD, 10 SNR, 11 standard deviation, 12 clipped share. The
// density's levels are 8-bit, its RMS a step-rounded one.
INSTANTIATE_TEST_SUITE_P(
    Readings, MeasuresEveryShownChannelOfEveryBlock,
    testing::Values(Instrument{"oscilloscope",
                               {{0, frequency, 5e-4},
                                {1, period, 5e-4},
                                {2, peak, 0.01},
                                {3, trough, 0.01},
                                {4, peakToPeak, 0.01},
                                {5, zero, 1e-3},
                                {6, rms, 2e-3}}},
                    Instrument{
                        "spectrum",
                        {{7, frequency, 1e-4}, {8, peak, 5e-3}, {9, zero, 0.01}, {10, [](int) { return 90.0; }, 0.1}}},
                    Instrument{"density", {{5, zero, 0.01}, {11, rms, 0.02}, {12, zero, 0}}}),
    [](const testing::TestParamInfo<Instrument>& info) { return std::string(info.param.Name); });

}  // namespace
