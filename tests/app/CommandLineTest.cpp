// The command line: what the parser makes of it, the device list built from it, and what the
// program itself answers to a few command lines (exit status, stdout, stderr).
#include "app/CommandLine.h"
#include "ProgramRun.h"
#include "app/ControlHelp.h"
#include "app/InputSetup.h"
#include "capture/GeneratorInput.h"
#include "statistics/ErrorRun.h"

#include <sndfile.h>

#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

using namespace mirel;

namespace {

CommandLine parse(std::vector<std::string> arguments)
{
    return parseCommandLine(arguments);
}

TEST(CommandLineParsing, NoArgumentsMeansSoundCardsOnly)
{
    const CommandLine options = parse({});
    EXPECT_TRUE(options.error.empty());
    EXPECT_FALSE(options.help);
    EXPECT_FALSE(options.version);
    EXPECT_FALSE(options.generator);
    EXPECT_TRUE(options.inputFile.empty());
}

TEST(CommandLineParsing, OptionsAndTheirValues)
{
    EXPECT_TRUE(parse({"--help"}).help);
    EXPECT_TRUE(parse({"-h"}).help);
    EXPECT_TRUE(parse({"--version"}).version);

    const CommandLine demo = parse({"--demo", "--input", "song.flac"});
    EXPECT_TRUE(demo.error.empty()) << demo.error;
    EXPECT_TRUE(demo.generator);
    EXPECT_EQ(demo.generatorSpec, GeneratorSpec::defaults());
    EXPECT_EQ(demo.inputFile, "song.flac");

    const CommandLine generator = parse({"--generator", "B=sine:50:0.1"});
    EXPECT_TRUE(generator.error.empty()) << generator.error;
    EXPECT_TRUE(generator.generator) << "--generator brings the generator device by itself";
    EXPECT_EQ(generator.generatorSpec.a, GeneratorSpec::defaults().a);
    EXPECT_EQ(generator.generatorSpec.b, (SignalSpec{SignalKind::Sine, 50.0, 0.1, 0.0, 0.0}));

    const CommandLine inlineValues = parse({"--generator=A=noise:0.2", "--input=a b.wav", "--demo"});
    EXPECT_TRUE(inlineValues.error.empty()) << inlineValues.error;
    EXPECT_EQ(inlineValues.generatorSpec.a.kind, SignalKind::Noise);
    EXPECT_EQ(inlineValues.inputFile, "a b.wav");
}

TEST(CommandLineParsing, MistakesAreReportedByName)
{
    auto errorOf = [](std::vector<std::string> arguments) {
        const CommandLine options = parse(std::move(arguments));
        EXPECT_TRUE(readsRussian(options.error));
        return options.error;
    };
    EXPECT_NE(errorOf({"--frobnicate"}).find("--frobnicate"), std::string::npos);
    EXPECT_NE(errorOf({"-x"}).find("-x"), std::string::npos);
    EXPECT_NE(errorOf({"stray.wav"}).find("stray.wav"), std::string::npos);
    EXPECT_NE(errorOf({"--generator", "nonsense"}).find("nonsense"), std::string::npos);
    EXPECT_NE(errorOf({"--generator", "A=sine:1000:7"}).find("амплитуда"), std::string::npos);
    EXPECT_NE(errorOf({"--generator"}).find("нужно значение"), std::string::npos);
    EXPECT_NE(errorOf({"--input"}).find("нужно значение"), std::string::npos);
    EXPECT_NE(errorOf({"--input", "--demo"}).find("нужно значение"), std::string::npos);
    EXPECT_NE(errorOf({"--input="}).find("имя файла"), std::string::npos);
    EXPECT_NE(errorOf({"--input", "a.wav", "--input", "b.wav"}).find("больше одного раза"), std::string::npos);
    EXPECT_NE(errorOf({"--generator", "A=sine", "--generator=B=noise"}).find("больше одного раза"), std::string::npos);
    for (const char* twice : {"--demo", "--help", "--version"})
        EXPECT_NE(errorOf({twice, twice}).find("больше одного раза"), std::string::npos) << twice;
    EXPECT_NE(errorOf({"-h", "--help"}).find("больше одного раза"), std::string::npos);
    EXPECT_NE(errorOf({"--demo=yes"}).find("не принимает значения"), std::string::npos);
    EXPECT_NE(errorOf({"--list-devices=all"}).find("не принимает значения"), std::string::npos);
    // A mistake is reported even when help is asked for too.
    EXPECT_FALSE(parse({"--help", "--bogus"}).error.empty());
}

TEST(CommandLineParsing, HelpNamesEveryOptionWithAnExample)
{
    const std::string help = helpText();
    for (const char* option : {"--demo", "--generator", "--input", "--list-devices", "--help", "--version"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
        EXPECT_NE(help.find(std::string("пример: mirel ") + option), std::string::npos) << option;
    }
    // The explanation of the error count names the rate the count assumes.
    EXPECT_NE(help.find("передает " + std::to_string(static_cast<int>(er::SignalRate)) + " сигнала в секунду"),
              std::string::npos);
    // Russian (the controls' entry has tests of its own), in lines of at most 80 characters.
    std::string own = help;
    own.erase(own.find(controlsHelpText()), controlsHelpText().size());
    EXPECT_TRUE(readsRussian(own));
    std::istringstream lines(help);
    for (std::string line; std::getline(lines, line);)
        EXPECT_LE(QString::fromStdString(line).size(), 80) << line;
    EXPECT_EQ(versionText(), "Mirel 1.27\n");
}

// ---- The device list ----

void writeSilentWav(const std::string& path, int rate = 8000)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    short silence[100] = {};
    sf_writef_short(file, silence, 100);
    sf_close(file);
}

std::vector<std::string> deviceNames(WaveInput& input)
{
    std::vector<std::string> names;
    for (int id = 0; id < input.deviceCount(); ++id) {
        std::string name;
        input.deviceName(id, name);
        names.push_back(name);
    }
    return names;
}

TEST(InputSetup, GeneratorComesBeforeTheFile)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("take1.wav").toStdString();
    writeSilentWav(path);

    std::string error;
    auto input = buildInput(parse({"--input", path, "--demo"}), error, false);
    ASSERT_TRUE(input) << error;
    EXPECT_EQ(deviceNames(*input), (std::vector<std::string>{GeneratorInput::DeviceName, "take1.wav"}));

    auto nothing = buildInput(parse({}), error, false);
    ASSERT_TRUE(nothing);
    EXPECT_EQ(nothing->deviceCount(), 0);
}

TEST(InputSetup, MissingFileIsAnError)
{
    std::string error;
    EXPECT_EQ(buildInput(parse({"--demo", "--input", "/no/such/dir/missing.wav"}), error, false), nullptr);
    EXPECT_NE(error.find("/no/such/dir/missing.wav"), std::string::npos) << error;
}

TEST(InputSetup, CaptureRateIsTheHighestOfferedUpToTheLimit)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("low.wav").toStdString();
    writeSilentWav(path);  // 8000 Hz

    std::string error;
    auto input = buildInput(parse({"--demo", "--input", path}), error, false);
    ASSERT_TRUE(input) << error;
    EXPECT_EQ(highestSupportedRate(*input, 0), GeneratorInput::MaxRate);
    EXPECT_EQ(captureRate(*input, 0), MaxCaptureRate);
    EXPECT_EQ(captureRate(*input, 1), 8000);
    EXPECT_EQ(deviceListText(*input),
              std::string("1: ") + GeneratorInput::DeviceName + "  48000 Гц\n" + "2: low.wav  8000 Гц\n");
}

TEST(InputSetup, ARecordingIsCapturedAtItsOwnRateUpToTheLimit)
{
    QTemporaryDir dir;
    const struct {
        int fileRate;
        int captureRate;
    } cases[] = {{44100, 44100}, {22050, 22050}, {48000, 48000}, {96000, 48000}, {88200, 48000}};
    for (const auto& c : cases) {
        const std::string path = dir.filePath("take.wav").toStdString();
        writeSilentWav(path, c.fileRate);
        std::string error;
        auto input = buildInput(parse({"--input", path}), error, false);
        ASSERT_TRUE(input) << error;
        EXPECT_EQ(captureRate(*input, 0), c.captureRate) << c.fileRate;
        EXPECT_EQ(deviceListText(*input), "1: take.wav  " + std::to_string(c.captureRate) + " Гц\n");
    }
}

// ---- The program ----

TEST(Program, HelpAndVersionGoToStdoutAndSucceed)
{
    const ProgramRun help = runProgram({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("--generator"));
    EXPECT_TRUE(help.err.isEmpty()) << help.err.toStdString();

    const ProgramRun version = runProgram({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.trimmed(), "Mirel 1.27");
}

TEST(Program, WrongCommandLinesExitWithStatusTwoAndAMessage)
{
    const ProgramRun missing = runProgram({"--input", "missing.wav"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains("missing.wav")) << missing.err.toStdString();
    EXPECT_TRUE(missing.out.isEmpty());
    EXPECT_TRUE(readsRussian(missing.err.toStdString()));

    const ProgramRun nonsense = runProgram({"--generator", "nonsense"});
    EXPECT_EQ(nonsense.exitCode, 2);
    EXPECT_TRUE(nonsense.err.contains("nonsense")) << nonsense.err.toStdString();

    const ProgramRun unknown = runProgram({"--colour", "red"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains("--colour")) << unknown.err.toStdString();

    const ProgramRun twice = runProgram({"--demo", "--demo"});
    EXPECT_EQ(twice.exitCode, 2);
    EXPECT_TRUE(twice.err.contains("--demo")) << twice.err.toStdString();
    EXPECT_TRUE(readsRussian(twice.err.toStdString()));

    // An argument of 120 KB is quoted by its first hundred characters only.
    const QString huge = "--" + QString(120000, 'x');
    for (const QStringList& arguments : {QStringList{huge}, QStringList{"--generator", "A=" + huge}}) {
        const ProgramRun run = runProgram(arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.contains(QString(90, 'x')));
        EXPECT_FALSE(run.err.contains(QString(101, 'x')));
        EXPECT_LT(run.err.size(), 500) << run.err.left(500).toStdString();
    }
}

TEST(Program, ListDevicesPrintsTheListAndOpensNoWindow)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("take2.wav");
    writeSilentWav(path.toStdString(), 44100);

    // The sound cards of the machine come first, whatever they are; the added devices end the list
    // of inputs. The outputs follow, each line marked.
    const ProgramRun run = runProgram({"--list-devices", "--demo", "--input", path});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    const auto isOutput = [](const QString& line) { return line.startsWith("вывод "); };
    const auto outputs = std::find_if(lines.begin(), lines.end(), isOutput);
    EXPECT_TRUE(std::all_of(outputs, lines.end(), isOutput)) << run.out.toStdString();
    lines.erase(outputs, lines.end());
    ASSERT_GE(lines.size(), 2);
    const int count = static_cast<int>(lines.size());
    EXPECT_EQ(lines[count - 2], QString("%1: %2  48000 Гц").arg(count - 1).arg(GeneratorInput::DeviceName));
    EXPECT_EQ(lines[count - 1], QString("%1: take2.wav  44100 Гц").arg(count));

    const ProgramRun missing = runProgram({"--list-devices", "--input", "missing.wav"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.out.isEmpty());
}

TEST(Program, WithoutAScreenItSaysWhatWorksInsteadOfCrashing)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    const ProgramRun run = runProgram({"--demo"}, environment);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("mirel snapshot")) << run.err.toStdString();
    EXPECT_TRUE(readsRussian(run.err.toStdString()));
}

}  // namespace
