// The instrument's own window class runs on Qt's offscreen platform, fed by the input the command
// line names; its own handlers start the run, and the results its table shows are saved as its save
// command saves them, so that a measurement without a window is the very measurement the window
// makes. A signal ends a run without leaving anything behind.
#include "app/BatchRun.h"

#include "app/BatchWait.h"
#include "app/EndingSignals.h"
#include "app/InputSetup.h"
#include "app/PlayCommand.h"
#include "app/QtTranslation.h"
#include "app/SnapshotRun.h"
#include "common/AtomicFile.h"
#include "common/QuotedText.h"
#include "playback/SignalPlayer.h"
#include "statistics/ResultsFile.h"
#include "statistics/TFormER.h"

#include <QApplication>
#include <QComboBox>
#include <iostream>

namespace mirel {

namespace {

constexpr int RunFailed = 1;
constexpr int UsageError = 2;

// Device `word` of the list: its number there, or its name.
int findDevice(WaveInput& input, const std::string& word)
{
    const int count = input.deviceCount();
    for (int id = 0; id < count; ++id) {
        std::string name;
        if (input.deviceName(id, name) == MMSYSERR_NOERROR && (name == word || std::to_string(id + 1) == word))
            return id;
    }
    return -1;
}

struct Source {
    std::unique_ptr<WaveInput> input;
    int device = 0;
    int rate = 0;
};

// The input and the device and rate to capture at; nothing, and the reason in `error`, when the
// source cannot be used.
std::optional<Source> openSource(const BatchCommand& command, std::string& error)
{
    CommandLine options;
    options.inputFile = command.inputFile;
    options.generator = command.generator;
    options.generatorSpec = command.generatorSpec;
    options.unpaced = true;
    Source source;
    source.input = buildInput(options, error, !command.device.empty());
    if (!source.input)
        return std::nullopt;
    if (!command.device.empty()) {
        source.device = findDevice(*source.input, command.device);
        if (source.device < 0) {
            error = "нет устройства ввода " + Quoted(command.device) + " (их список: mirel --list-devices)";
            return std::nullopt;
        }
    }
    source.rate = captureRate(*source.input, source.device);
    if (command.rate != 0) {
        WaveFormat format;
        format.samplesPerSec = command.rate;
        if (source.input->isFormatSupported(source.device, format) != MMSYSERR_NOERROR) {
            error = "устройство не записывает с частотой " + std::to_string(command.rate) + " Гц";
            return std::nullopt;
        }
        source.rate = command.rate;
    }
    if (source.rate == 0) {
        error = "устройство не записывает ни на одной частоте от 1000 до 100000 Гц";
        return std::nullopt;
    }
    return source;
}

int measureStatistics(const BatchCommand& command, Source& source)
{
    // An output that cannot be written is refused before the run rather than after it.
    if (const int error = CheckWritable(command.output); error != 0) {
        std::cerr << "mirel: не удается записать " << Quoted(command.output) << ": " << FileErrorText(error) << '\n';
        return RunFailed;
    }

    LauncherLink launcher;
    TFormER form(*source.input, launcher);
    form.DeviceId = source.device;
    form.SampleRate = source.rate;
    // The capture ends while the whole window still exists, on every way out.
    const std::unique_ptr<TFormER, void (*)(TFormER*)> shutdown(&form, [](TFormER* w) { w->Shutdown(); });
    form.show();
    // The run length typed into its box, as a user does.
    form.cbTime->setEditText(QString::fromStdString(command.duration));
    form.cbTimeClick();
    form.btnStartClick();
    if (!form.Running) {
        std::cerr << "mirel: запись не начинается: " << form.recorder().ErrorText << '\n';
        form.btnStartClick();
        return RunFailed;
    }

    // The run ends itself after its length; a source that stops delivering ends it as failed.
    const bool stalled =
        !waitUntil([&form] { return !form.runActive(); }, [&form] { return form.run().ProcessedFrames; });
    if (stalled) {
        form.btnStartClick();
        std::cerr << "mirel: устройство не дает сигнала " << StallMs / 1000 << " с; измерение прекращено\n";
        return RunFailed;
    }

    // The results as the window's table shows them and its save command writes them, under the
    // name given as it is (the window's dialog would add ".txt").
    if (const auto error = er::SaveResults(command.output, form.shownRows(), form.run().MeasuredSeconds())) {
        std::cerr << "mirel: не удается записать " << Quoted(command.output) << ": " << *error << '\n';
        return RunFailed;
    }
    for (const er::ResultRow& row : form.shownRows())
        std::cout << row.Caption << '\t' << row.A << '\t' << row.B << '\n';
    return 0;
}

}  // namespace

int runBatch(const BatchCommand& command, char* argv0)
{
    if (command.command == "snapshot" && !snapshotTypeKnown(command.output)) {
        std::cerr << "mirel: --output: " << Quoted(command.output)
                  << " не оканчивается ни на .png, .bmp, .jpg, ни на .csv\n";
        return UsageError;
    }
    CatchEndingSignals();
    std::string error;
    std::optional<Source> source = openSource(command, error);
    if (!source) {
        std::cerr << "mirel: " << error << '\n';
        return UsageError;
    }
    // The output plays first, at the capture's rate, so that the recording holds what it plays; it
    // stops when the command ends, whichever way.
    std::unique_ptr<SignalPlayer> output;
    if (command.play) {
        output = std::make_unique<SignalPlayer>();
        if (!startOutput(*output, command.playDevice, command.playSpec, source->rate, error)) {
            std::cerr << "mirel: " << error << '\n';
            return RunFailed;
        }
    }
    // The windows are made but never shown on a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt is given no argument of ours to interpret.
    int argc = 1;
    char* argv[] = {argv0, nullptr};
    QApplication app(argc, argv);
    installQtRussian(app);
    const int status =
        command.command == "snapshot"      ? takeSnapshot(command, *source->input, source->device, source->rate)
        : command.instrument == "readings" ? measureReadings(command, *source->input, source->device, source->rate)
        : command.instrument == "transfer" ? measureTransfer(command, *source->input, source->device, source->rate)
                                           : measureStatistics(command, *source);
    // What was recorded while the stimulus broke off is the user's to judge.
    if (output && output->lost())
        std::cerr << "mirel: --play: устройство вывода пропало во время измерения\n";
    else if (output && output->underruns() > 0)
        std::cerr << "mirel: --play: вывод прерывался во время измерения (пропусков вывода: " << output->underruns()
                  << ")\n";
    return status;
}

}  // namespace mirel
