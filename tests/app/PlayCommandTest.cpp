// The generator on a sound card's output from the command line, through the built program: the
// command lines it refuses, and, through the private sound server, play and a measurement that
// plays its own stimulus into the null sink and records it back from the monitor.
#include "ProgramRun.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>
#include <csignal>
#include <tuple>

using namespace mirel;

namespace {

struct Refused {
    QStringList arguments;
    int exitCode;
    const char* named;  // what the message must name
};

void PrintTo(const Refused& c, std::ostream* out)
{
    *out << c.arguments.join(' ').toStdString();
}

class PlayRefusal : public testing::TestWithParam<Refused> {};

// The server's null sink for the output and its monitor for the input; empty when there is none.
QProcessEnvironment soundServer()
{
    QProcess pactl;
    pactl.start("pactl", {"list", "short", "sinks"});
    if (QStandardPaths::findExecutable("pactl").isEmpty() || !pactl.waitForFinished(5000) || pactl.exitCode() != 0 ||
        !pactl.readAllStandardOutput().contains("nullsink"))
        return {};
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PULSE_SINK", "nullsink");
    environment.insert("PULSE_SOURCE", "nullsink.monitor");
    return environment;
}

}  // namespace

TEST_P(PlayRefusal, ExitsWithItsStatusAndARussianMessage)
{
    const Refused& c = GetParam();
    const ProgramRun run = runProgram(c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(c.named)) << run.err.toStdString();
    EXPECT_TRUE(readsRussian(run.err.toStdString()));
    EXPECT_TRUE(run.out.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, PlayRefusal,
    testing::Values(
        Refused{{"play"}, 2, "SPEC"}, Refused{{"play", "A=hum:50"}, 2, "hum"},
        Refused{{"play", "A=sine", "B=sine"}, 2, "B=sine"},
        Refused{{"play", "A=sine", "--colour", "red"}, 2, "--colour"},
        Refused{{"play", "A=sine", "--duration", "0"}, 2, "--duration"},
        Refused{{"play", "A=sine", "--duration", "ten"}, 2, "ten"},
        Refused{{"play", "A=sine", "--device", "nosuch-output-9"}, 1, "nosuch-output-9"},
        Refused{{"measure", "readings", "--generator", "A=sine", "--play", "A=sine", "--instrument", "spectrum",
                 "--output", "r.csv"},
                2,
                "--device"},
        Refused{{"snapshot", "spectrum", "--device", "1", "--play", "A=sine:0", "--output", "s.png"}, 2, "--play"},
        Refused{
            {"snapshot", "spectrum", "--device", "1", "--play-device", "1", "--output", "s.png"}, 2, "--play-device"}));

TEST(PlayThroughTheServer, PlayRunsItsTimeAndStopsOnASignalWithStatusZero)
{
    const QProcessEnvironment environment = soundServer();
    if (environment.isEmpty())
        GTEST_SKIP() << "no sound-server test: no server with a sink named 'nullsink' answers pactl "
                        "(scripts/sound-server.sh start runs one)";
    const ProgramRun timed =
        runProgram({"play", "A=sine:1000:-6dBFS", "--device", "pulse", "--duration", "0.5"}, environment);
    EXPECT_EQ(timed.exitCode, 0) << timed.err.toStdString();
    EXPECT_TRUE(timed.err.startsWith("mirel: воспроизведение на «pulse», 48000 Гц, 0.5 с\n"))
        << timed.err.toStdString();

    for (const int signal : {SIGINT, SIGTERM}) {
        QProcess play;
        play.setProcessEnvironment(environment);
        play.setReadChannel(QProcess::StandardError);
        play.start(QStringLiteral(MIREL_PROGRAM), {"play", "A=pink", "--device", "pulse"});
        ASSERT_TRUE(play.waitForReadyRead(10000)) << "no word of where it plays";
        EXPECT_FALSE(play.waitForFinished(300)) << "play ended by itself";
        ::kill(static_cast<pid_t>(play.processId()), signal);
        ASSERT_TRUE(play.waitForFinished(5000));
        EXPECT_EQ(play.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(play.exitCode(), 0) << signal;
    }
}

TEST(PlayThroughTheServer, AMeasurementRecordsWhatItsPlayOptionPlays)
{
    const QProcessEnvironment environment = soundServer();
    if (environment.isEmpty())
        GTEST_SKIP() << "no sound-server test: no server with a sink named 'nullsink' answers pactl";
    QTemporaryDir dir;
    const QString output = dir.filePath("r.csv");
    const ProgramRun run = runProgram({"measure", "readings", "--device", "pulse", "--play",
                                       "A=sine:1000:0.5,B=sine:3000:-12dBFS", "--play-device", "pulse", "--instrument",
                                       "spectrum", "--set", "cb2k=1", "--blocks", "6", "--output", output},
                                      environment);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    // The last block's rows: the onset of the sound lies in the first ones.
    const QStringList lines = QString::fromUtf8(contents(output)).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 13);
    const QStringList header = lines[0].split(',');
    const qsizetype frequency = header.indexOf("peak_frequency_hz"), amplitude = header.indexOf("peak_amplitude_v");
    for (const auto& [line, hz, volts] :
         {std::tuple{lines[11], 1000.0, 0.5}, std::tuple{lines[12], 3000.0, std::pow(10.0, -12 / 20.0)}}) {
        const QStringList cells = line.split(',');
        EXPECT_NEAR(cells[frequency].toDouble(), hz, 0.01) << line.toStdString();
        EXPECT_NEAR(20 * std::log10(cells[amplitude].toDouble() / volts), 0.0, 0.01) << line.toStdString();
    }
}
