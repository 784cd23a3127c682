// Measuring without a window, through the built program: the counts of a file whose pulses are
// known, identical results from identical runs, and the exit status of every kind of failure
// with nothing left behind, down to the signal handler in the middle of a write.
#include "ProgramRun.h"
#include "app/BatchCommandLine.h"
#include "app/EndingSignals.h"
#include "app/PlayCommand.h"
#include "common/AtomicFile.h"

#include <QDir>
#include <QTemporaryDir>
#include <csignal>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

using namespace mirel;

namespace {

constexpr int Rate = 8000;
constexpr int BlockFrames = Rate / 5;  // the statistics run takes blocks of 0.2 s

// Two seconds of stereo: 40-frame pulses of 0.8 V, each inside a block, at the given frames.
void writePulseFile(const QString& path, const std::vector<int>& pulsesA, const std::vector<int>& pulsesB)
{
    std::vector<short> frames(2 * 2 * Rate, 0);
    auto place = [&frames](const std::vector<int>& starts, int channel) {
        for (int start : starts)
            for (int i = start; i < start + 40; ++i)
                frames[static_cast<size_t>(2 * i + channel)] = static_cast<short>(0.8 * 32767);
    };
    place(pulsesA, 0);
    place(pulsesB, 1);
    writeStereoWav(path, Rate, frames);
}

// A stimulus goes only where it is asked for: the channel its SPEC leaves out is silent.
TEST(MeasureCommandLine, AStimulusLeavesTheChannelItDoesNotNameSilent)
{
    const BatchCommand measure = parseBatchCommand({"measure", "readings", "--device", "1", "--play", "B=sine:440:0.1",
                                                    "--instrument", "spectrum", "--output", "r.csv"});
    ASSERT_TRUE(measure.error.empty()) << measure.error;
    EXPECT_EQ(measure.playSpec.a.kind, SignalKind::Silence);
    EXPECT_EQ(measure.playSpec.b.kind, SignalKind::Sine);
    EXPECT_EQ(parsePlayCommand({"play", "A=sine:1000:0.5"}).spec.b.kind, SignalKind::Silence);
}

TEST(MeasureCommandLine, OneSourceADurationAndAnOutput)
{
    const BatchCommand good = parseBatchCommand(
        {"measure", "statistics", "--generator=B=silence", "--rate", "8000", "--duration", "20", "--output", "r.txt"});
    EXPECT_TRUE(good.error.empty()) << good.error;
    EXPECT_TRUE(good.generator);
    EXPECT_EQ(good.rate, 8000);
    EXPECT_EQ(good.duration, "20");

    auto errorOf = [](std::vector<std::string> tail) {
        std::vector<std::string> words{"measure", "statistics"};
        words.insert(words.end(), tail.begin(), tail.end());
        const std::string error = parseBatchCommand(words).error;
        EXPECT_TRUE(readsRussian(error));
        return error;
    };
    const std::vector<std::string> rest{"--duration", "5", "--output", "r.txt"};
    auto with = [&rest](std::vector<std::string> words) {
        words.insert(words.end(), rest.begin(), rest.end());
        return words;
    };
    EXPECT_NE(errorOf(rest).find("ровно один источник"), std::string::npos);
    EXPECT_NE(errorOf(with({"--input", "a.wav", "--device", "1"})).find("ровно один источник"), std::string::npos);
    EXPECT_NE(errorOf({"--input", "a.wav", "--duration", "0", "--output", "r.txt"}).find("--duration"),
              std::string::npos);
    EXPECT_NE(errorOf({"--input", "a.wav", "--duration", "5s", "--output", "r.txt"}).find("--duration"),
              std::string::npos);
    EXPECT_NE(errorOf({"--input", "a.wav", "--duration", "5"}).find("--output"), std::string::npos);
    EXPECT_NE(errorOf(with({"--input", "a.wav", "--rate", "500"})).find("--rate"), std::string::npos);
    EXPECT_NE(errorOf(with({"--input", "a.wav", "--demo"})).find("--demo"), std::string::npos);
    EXPECT_NE(errorOf(with({"--input", "a.wav", "--input", "b.wav"})).find("больше одного раза"), std::string::npos);
    EXPECT_NE(parseBatchCommand({"measure", "spectrum"}).error.find("statistics"), std::string::npos);
}

TEST(Measure, StatisticsCountsEveryPulseOfAFileAndRepeatsItsResultsExactly)
{
    QTemporaryDir dir;
    const QString input = dir.filePath("pulses.wav");
    // Channel A: 13 pulses, two of them in some blocks; channel B: 2.
    std::vector<int> pulsesA;
    for (int block = 0; block < 10; ++block)
        pulsesA.push_back(block * BlockFrames + 300);
    for (int block : {2, 5, 7})
        pulsesA.push_back(block * BlockFrames + 900);
    writePulseFile(input, pulsesA, {BlockFrames + 700, 4 * BlockFrames + 700});

    QByteArray first;
    for (const char* name : {"first.txt", "second.txt"}) {
        const ProgramRun run =
            runProgram({"measure", "statistics", "--input", input, "--duration", "2", "--output", dir.filePath(name)});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.out, QStringLiteral("Всего передано сигналов\t1308\t1308\n"
                                          "Из них передано с ошибкой\t13\t2\n"
                                          "Оценка вероятности ошибки\t0,0099388379204893\t0,00152905198776758\n"));
        const QByteArray saved = contents(dir.filePath(name));
        EXPECT_TRUE(saved.contains("\t13\t\t\t2\r\n")) << saved.toStdString();
        if (first.isEmpty())
            first = saved;
        else
            EXPECT_EQ(saved, first) << "two runs over the same file differ";
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{"first.txt", "pulses.wav", "second.txt"}));
}

TEST(Measure, FailuresExitWithTheirStatusAndWriteNothing)
{
    QTemporaryDir dir;
    const QString output = dir.filePath("r.txt");
    auto measure = [&output](const QStringList& source) {
        return runProgram(QStringList{"measure", "statistics"} + source +
                          QStringList{"--duration", "1", "--output", output});
    };

    const ProgramRun missing = measure({"--input", dir.filePath("missing.wav")});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains("missing.wav")) << missing.err.toStdString();

    const ProgramRun noDevice = measure({"--device", "no such card"});
    EXPECT_EQ(noDevice.exitCode, 2);
    EXPECT_TRUE(noDevice.err.contains("no such card")) << noDevice.err.toStdString();

    const ProgramRun badRate = measure({"--generator", "A=silence", "--rate", "100001"});
    EXPECT_EQ(badRate.exitCode, 2);
    EXPECT_FALSE(QFile::exists(output));

    // An output that cannot be written (its folder is a file) fails before the run and leaves no
    // temporary file behind.
    QFile plain(dir.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const ProgramRun unwritable = runProgram({"measure", "statistics", "--generator", "A=silence", "--duration", "1",
                                              "--output", dir.filePath("plain/r.txt")});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_TRUE(unwritable.err.contains("r.txt")) << unwritable.err.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"plain"});
}

// Whether process `pid` handles `signal` with its own handler, from its /proc status.
bool catches(qint64 pid, int signal)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("SigCgt:"))
            return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1) & 1) != 0;
    return false;
}

struct Ending {
    int Signal;
    bool Ignored;  // by the caller, as nohup does
};

class Interrupted : public testing::TestWithParam<Ending> {};

// A signal ends a long run once its handler is in place: no results file, no temporary file, the
// old file as it was, the reason on stderr and 128 plus the signal as the status. A signal the
// caller ignores leaves the run to finish.
TEST_P(Interrupted, ARunEndedByASignalWritesNothingAndLeavesNothing)
{
    const auto [signal, ignored] = GetParam();
    QTemporaryDir dir;
    const QString output = dir.filePath("r.txt");
    QFile old(output);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();

    QProcess process;
    // As a terminal would start it, whatever this test inherited (a script's background job ignores
    // SIGINT).
    process.setChildProcessModifier([signal, ignored] {
        for (const int each : {SIGINT, SIGTERM, SIGHUP})
            ::signal(each, ignored && each == signal ? SIG_IGN : SIG_DFL);
    });
    process.start(QStringLiteral(MIREL_PROGRAM), {"measure", "statistics", "--generator", "A=sine", "--duration",
                                                  ignored ? "30" : "100000", "--output", output});
    ASSERT_TRUE(process.waitForStarted());
    // SIGTERM is caught in every case, at the same place as the others; a long run is well under
    // way after a moment.
    for (int wait = 0; !catches(process.processId(), SIGTERM); ++wait) {
        ASSERT_LT(wait, 2000) << "no handler for SIGTERM";
        ASSERT_FALSE(process.waitForFinished(5)) << "the run ended before its handlers were seen";
    }
    if (!ignored)
        process.waitForFinished(300);
    EXPECT_EQ(catches(process.processId(), signal), !ignored);
    ::kill(static_cast<pid_t>(process.processId()), signal);
    ASSERT_TRUE(process.waitForFinished(20000));
    ASSERT_EQ(process.exitStatus(), QProcess::NormalExit);
    const QString err = QString::fromUtf8(process.readAllStandardError());
    if (ignored) {
        EXPECT_EQ(process.exitCode(), 0) << err.toStdString();
        EXPECT_TRUE(contents(output).contains("\t\t\t")) << "the results of the whole run";
    } else {
        EXPECT_EQ(process.exitCode(), 128 + signal);
        EXPECT_TRUE(err.contains("измерение прекращено")) << err.toStdString();
        EXPECT_EQ(contents(output), "old");
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"r.txt"});
}

INSTANTIATE_TEST_SUITE_P(Signals, Interrupted,
                         testing::Values(Ending{SIGTERM, false}, Ending{SIGINT, false}, Ending{SIGHUP, false},
                                         Ending{SIGHUP, true}),
                         [](const testing::TestParamInfo<Ending>& info) {
                             return std::string(sigabbrev_np(info.param.Signal)) +
                                    (info.param.Ignored ? "Ignored" : "");
                         });

// The program's handler in the middle of a real write: a write beyond the file size limit raises
// SIGXFSZ while the temporary file exists, and that handler sends SIGTERM.
void writeUntilTerminated(const std::string& path)
{
    CatchEndingSignals();
    std::signal(SIGXFSZ, [](int) { ::raise(SIGTERM); });
    const rlimit limit{1024, 1024};  // room for the message in the file that catches stderr
    ::setrlimit(RLIMIT_FSIZE, &limit);
    WriteFileAtomically(path, std::string(4096, 'x'));
}

TEST(EndingSignalDeathTest, TheHandlerTakesTheTemporaryFileOfAWriteAlong)
{
    QTemporaryDir dir;
    const QString output = dir.filePath("r.txt");
    std::ofstream(output.toStdString()) << "old";
    EXPECT_EXIT(writeUntilTerminated(output.toStdString()), testing::ExitedWithCode(128 + SIGTERM),
                "mirel: остановлено \\(SIGTERM\\); измерение прекращено");
    EXPECT_EQ(contents(output), "old");
    EXPECT_EQ(
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).join(' ').toStdString(),
        "r.txt");
}

}  // namespace
