// The transfer function without a window, through the built program: a recording whose B is its A
// inverted and delayed by more than one result's frames gives back that delay and polarity, a flat
// response and, with the delay taken out, a phase of 180°; and what the command line refuses.
#include "ProgramRun.h"
#include "app/BatchCommandLine.h"

#include <QTemporaryDir>
#include <cmath>
#include <random>
#include <utility>

using namespace mirel;

namespace {

constexpr int Rate = 48000;
constexpr int Lag = 2400;  // 50 ms: more than the frames of one result

// Eight seconds (the run reads some 3 s; the loop's seam would break the delay): A white noise at about 0.25 V RMS, B =
// −A delayed by Lag samples.
void writeInvertedDelayed(const QString& path)
{
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0, 0.25 * 32767);
    std::vector<short> a(8 * Rate);
    for (short& sample : a)
        sample = static_cast<short>(std::clamp(std::lround(noise(random)), -32767L, 32767L));
    std::vector<short> frames(2 * a.size());
    for (size_t i = 0; i < a.size(); ++i) {
        frames[2 * i] = a[i];
        frames[2 * i + 1] = static_cast<short>(i >= Lag ? -a[i - Lag] : 0);
    }
    writeStereoWav(path, Rate, frames);
}

}  // namespace

TEST(MeasureTransfer, FindsTheDelayAndPolarityAndWritesTheResponseWithoutIt)
{
    QTemporaryDir dir;
    const QString input = dir.filePath("dut.wav");
    writeInvertedDelayed(input);
    const QString output = dir.filePath("h.csv");
    const ProgramRun run = runProgram({"measure", "transfer", "--input", input, "--set", "cbN=4096", "--set", "delay=1",
                                       "--blocks", "1", "--output", output});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << run.out.toStdString();
    EXPECT_EQ(lines[0], "delay_samples,delay_s,polarity");
    const QStringList delay = lines[1].split(',');
    ASSERT_EQ(delay.size(), 3);
    EXPECT_NEAR(delay[0].toDouble(), Lag, 0.01);
    EXPECT_NEAR(delay[1].toDouble(), double(Lag) / Rate, 1e-7);
    EXPECT_EQ(delay[2], "-");

    const QStringList rows = QString::fromUtf8(contents(output)).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_GT(rows.size(), 100);
    EXPECT_EQ(rows[0], "frequency_hz,magnitude_db,phase_deg,coherence");
    for (qsizetype i = 1; i < rows.size(); ++i) {
        const QStringList cells = rows[i].split(',');
        ASSERT_EQ(cells.size(), 4) << rows[i].toStdString();
        const double frequency = cells[0].toDouble();
        EXPECT_TRUE(frequency >= 20 && frequency <= 20000) << frequency;
        EXPECT_NEAR(cells[1].toDouble(), 0, 0.01) << frequency;
        EXPECT_NEAR(std::abs(cells[2].toDouble()), 180, 0.1) << frequency;
        EXPECT_GT(cells[3].toDouble(), 0.999) << frequency;
    }
}

TEST(MeasureTransfer, CommandLine)
{
    const BatchCommand plain = parseBatchCommand({"measure", "transfer", "--device", "1", "--output", "h.csv"});
    ASSERT_TRUE(plain.error.empty()) << plain.error;
    EXPECT_EQ(plain.blocks, TransferResultsByDefault);
    EXPECT_EQ(parseBatchCommand({"snapshot", "transfer", "--device", "1", "--blocks", "3", "--output", "h.png"}).blocks,
              3);
    EXPECT_FALSE(parseBatchCommand({"measure", "transfer", "--device", "1", "--duration", "5", "--output", "h.csv"})
                     .error.empty());

    QTemporaryDir dir;
    const ProgramRun wrong = runProgram(
        {"measure", "transfer", "--generator", "A=silence", "--set", "delay=2", "--output", dir.filePath("h.csv")});
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_TRUE(wrong.err.contains("delay")) << wrong.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("h.csv")));

    // A value the window refuses is refused with the window's reason; a band that holds no bin is
    // refused rather than written empty.
    for (const auto& [setting, reason] : {std::pair{"edFLow=30000", "Верхняя частота должна быть выше нижней"},
                                          std::pair{"edFLow=5000", "ни одной частоты"}}) {
        const ProgramRun refused =
            runProgram({"measure", "transfer", "--generator", "A=noise", "--rate", "8000", "--set", "edFHigh=6000",
                        "--set", setting, "--output", dir.filePath("h.csv")});
        EXPECT_EQ(refused.exitCode, 2) << setting;
        EXPECT_TRUE(refused.err.contains(QString::fromUtf8(reason))) << refused.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("h.csv")));
}
