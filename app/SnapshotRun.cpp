// The window's own export runs: its popup menu's save commands with the questions answered by the
// command line, or, without the title band, its redraw for the export and the picture writer; and
// the window's own measurements, taken after each block it handles; the transfer function's averaged
// result and the delay it finds.
#include "app/SnapshotRun.h"

#include "app/BatchWait.h"
#include "app/ControlSettings.h"
#include "common/AtomicFile.h"
#include "common/QuotedText.h"
#include "density/TFormPV.h"
#include "oscilloscope/TFormOS.h"
#include "spectrum/TFormSP.h"
#include "transfer/TFormTF.h"
#include "transfer/TransferCsv.h"

#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <functional>
#include <iostream>
#include <limits>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

namespace mirel {

namespace {

constexpr int RunFailed = 1;
constexpr int UsageError = 2;

struct OutputType {
    const char* Extension;
    const char* Format;  // nullptr: the CSV of the displayed numbers
    int FilterIndex;     // in the window's save dialog
};
constexpr OutputType OutputTypes[] = {{".bmp", "BMP", 1}, {".jpg", "JPG", 2}, {".png", "PNG", 3}, {".csv", nullptr, 1}};

const OutputType* outputType(const std::string& output)
{
    for (const OutputType& type : OutputTypes)
        if (output.ends_with(type.Extension))
            return &type;
    return nullptr;
}

// What the snapshot needs of a window beyond its public face.
class Snapshot {
public:
    virtual ~Snapshot() = default;
    virtual GraphicWindow& window() = 0;
    // Blocks after the first `limit` are declined, so that the display holds exactly those.
    virtual void setBlockLimit(int limit) = 0;
    // Called after each block the window has handled.
    virtual void setAfterBlock(std::function<void()> afterBlock) = 0;
    // The display redrawn for the export, without the title band.
    virtual QImage picture() = 0;
    // What --blocks counts: the blocks handled, or the transfer function's results.
    virtual int handled() = 0;
};

template <class Window>
class SnapshotOf final : public Window, public Snapshot {
public:
    using Window::Window;
    GraphicWindow& window() override { return *this; }
    void setBlockLimit(int limit) override { limit_ = limit; }
    void setAfterBlock(std::function<void()> afterBlock) override { afterBlock_ = std::move(afterBlock); }
    QImage picture() override
    {
        this->RedrawForExport();
        return this->surface()->image().copy();
    }
    int handled() override
    {
        if constexpr (std::is_same_v<Window, TFormTF>)
            return this->ResultCount();
        else
            return this->BlockCounter;
    }

protected:
    bool AcceptBlock() override { return handled() < limit_ && Window::AcceptBlock(); }
    void BlockHandled() override
    {
        Window::BlockHandled();
        if (afterBlock_)
            afterBlock_();
    }

private:
    int limit_ = 1 << 30;
    std::function<void()> afterBlock_;
};

std::unique_ptr<Snapshot> makeWindow(const std::string& instrument, WaveInput& input, LauncherLink& launcher)
{
    if (instrument == "oscilloscope")
        return std::make_unique<SnapshotOf<TFormOS>>(input, launcher);
    if (instrument == "spectrum")
        return std::make_unique<SnapshotOf<TFormSP>>(input, launcher);
    if (instrument == "transfer")
        return std::make_unique<SnapshotOf<TFormTF>>(input, launcher);
    return std::make_unique<SnapshotOf<TFormPV>>(input, launcher);
}

// Makes the window `instrument` names, starts it on `device` at `rate`, sets it as the command line
// says, lets `command.blocks` blocks through, calling `eachBlock` after each, and hands it to
// `finish`; the exit status of the first step that fails, or of `finish`.
int runWindow(const BatchCommand& command, const std::string& instrument, WaveInput& input, int device, int rate,
              const std::function<void(GraphicWindow&)>& eachBlock, const std::function<int(Snapshot&)>& finish)
{
    LauncherLink launcher;
    launcher.InstrumentWidth = command.width;
    launcher.InstrumentHeight = command.height;
    const std::unique_ptr<Snapshot> snapshot = makeWindow(instrument, input, launcher);
    GraphicWindow& window = snapshot->window();
    // The capture ends while the whole window still exists, on every way out.
    const std::unique_ptr<GraphicWindow, void (*)(GraphicWindow*)> shutdown(&window,
                                                                            [](GraphicWindow* w) { w->Shutdown(); });
    window.DeviceId = device;
    window.SampleRate = rate;
    window.show();
    if (!window.Running) {
        std::cerr << "mirel: запись не начинается: " << window.recorder().ErrorText << '\n';
        return RunFailed;
    }
    if (command.blackScheme)
        window.ChangeColor();
    for (const auto& [control, value] : command.settings) {
        QString error;
        if (!applySetting(&window, QString::fromStdString(control), QString::fromStdString(value), error)) {
            std::cerr << "mirel: --set: " << error.toStdString();
            return UsageError;
        }
    }

    const int limit = snapshot->handled() + command.blocks;
    snapshot->setBlockLimit(limit);
    if (eachBlock)
        snapshot->setAfterBlock([&window, &eachBlock] { eachBlock(window); });
    Snapshot& counted = *snapshot;
    if (!waitUntil([&counted, limit] { return counted.handled() >= limit; },
                   [&window] { return static_cast<double>(window.BlockCounter); })) {
        std::cerr << "mirel: устройство не дает сигнала " << StallMs / 1000 << " с\n";
        return RunFailed;
    }
    snapshot->setAfterBlock({});
    return finish(*snapshot);
}

}  // namespace

bool snapshotTypeKnown(const std::string& output)
{
    return outputType(output) != nullptr;
}

int takeSnapshot(const BatchCommand& command, WaveInput& input, int device, int rate)
{
    return runWindow(command, command.instrument, input, device, rate, {}, [&command](Snapshot& snapshot) {
        GraphicWindow& window = snapshot.window();
        const OutputType& type = *outputType(command.output);
        const QString output = QFile::decodeName(command.output.c_str());
        QString failure;
        GraphicWindow::ExportPrompts& prompts = window.exportPrompts();
        prompts.AskFile = [&](SaveDialog&, const QString&) { return SaveChoice{output, type.FilterIndex}; };
        prompts.AskReplace = [](const QString&) { return true; };
        prompts.ShowError = [&failure](const QString& message) { failure = message; };
        if (!type.Format)
            window.N2Click();
        else if (command.band)
            window.N1Click();
        else
            failure = WritePicture(output, snapshot.picture(), type.Format);
        if (!failure.isEmpty()) {
            std::cerr << "mirel: " << failure.simplified().toStdString() << '\n';
            return RunFailed;
        }
        return 0;
    });
}

int measureReadings(const BatchCommand& command, WaveInput& input, int device, int rate)
{
    // An output that cannot be written is refused before the run rather than after it.
    if (const int error = CheckWritable(command.output); error != 0) {
        std::cerr << "mirel: не удается записать " << Quoted(command.output) << ": " << FileErrorText(error) << '\n';
        return RunFailed;
    }
    std::vector<MeasuredRow> rows;
    int block = 0;
    const auto measure = [&rows, &block](GraphicWindow& window) {
        ++block;
        for (const auto& [channel, letter] :
             {std::pair{TextColour::ChannelA, 'A'}, std::pair{TextColour::ChannelB, 'B'}})
            if (const std::optional<MeasuredValues> values = window.measuredValues(channel))
                rows.push_back({block, letter, *values});
    };
    return runWindow(command, command.measured, input, device, rate, measure, [&command, &rows](Snapshot&) {
        if (const int error = WriteFileAtomically(command.output, ReadingsCsv(rows)); error != 0) {
            std::cerr << "mirel: не удается записать " << Quoted(command.output) << ": " << FileErrorText(error)
                      << '\n';
            return RunFailed;
        }
        return 0;
    });
}

int measureTransfer(const BatchCommand& command, WaveInput& input, int device, int rate)
{
    if (const int error = CheckWritable(command.output); error != 0) {
        std::cerr << "mirel: не удается записать " << Quoted(command.output) << ": " << FileErrorText(error) << '\n';
        return RunFailed;
    }
    // delay=1 is no control of the window: it asks for the delay to be found once the results are
    // in, and taken out of the phase that is written.
    BatchCommand run = command;
    bool findDelay = false;
    std::erase_if(run.settings, [&findDelay](const auto& setting) {
        if (setting.first != "delay")
            return false;
        findDelay = setting.second == "1";
        return true;
    });
    for (const auto& [control, value] : command.settings)
        if (control == "delay" && value != "0" && value != "1") {
            std::cerr << "mirel: --set: delay принимает 0 или 1, а не " << Quoted(value) << '\n';
            return UsageError;
        }
    return runWindow(run, "transfer", input, device, rate, {}, [&command, findDelay](Snapshot& snapshot) {
        auto& form = static_cast<TFormTF&>(snapshot.window());
        if (findDelay) {
            // The search over ±1 s needs 2 s that follow on; the blocks past the limit were passed by.
            if (!form.analyser().DelaySearchReady()) {
                form.analyser().Discontinue();
                snapshot.setBlockLimit(std::numeric_limits<int>::max());
                if (!waitUntil([&form] { return form.analyser().DelaySearchReady(); },
                               [&form] { return static_cast<double>(form.BlockCounter); })) {
                    std::cerr << "mirel: устройство не дает сигнала " << StallMs / 1000 << " с\n";
                    return RunFailed;
                }
            }
            form.btnDelayClick();
            const transfer::DelayResult& delay = form.analyser().Delay();
            if (!delay.Valid) {
                std::cerr << "mirel: задержка не найдена: нет сигнала или он короче, чем нужно для поиска задержки\n";
                return RunFailed;
            }
            // The records are now taken the delay apart: the average is made again from the frames
            // kept, and the run goes on, after the blocks it passed by, until it holds the results
            // asked for.
            form.chbCompensate->setChecked(true);
            form.analyser().Discontinue();
            snapshot.setBlockLimit(command.blocks);
            if (!waitUntil([&snapshot, &command] { return snapshot.handled() >= command.blocks; },
                           [&form] { return static_cast<double>(form.BlockCounter); })) {
                std::cerr << "mirel: устройство не дает сигнала " << StallMs / 1000 << " с\n";
                return RunFailed;
            }
            std::cout << "delay_samples,delay_s,polarity\n"
                      << transfer::CsvNumber(delay.Samples) << ',' << transfer::CsvNumber(delay.Seconds) << ','
                      << (delay.Polarity < 0 ? '-' : '+') << '\n';
        }
        if (form.analyser().Points().empty()) {
            std::cerr << "mirel: в полосе нет ни одной частоты ниже половины частоты записи (" << form.SampleRate / 2
                      << " Гц)\n";
            return UsageError;
        }
        if (const int error = WriteFileAtomically(command.output, transfer::TransferCsv(form.analyser().Points()));
            error != 0) {
            std::cerr << "mirel: не удается записать " << Quoted(command.output) << ": " << FileErrorText(error)
                      << '\n';
            return RunFailed;
        }
        return 0;
    });
}

}  // namespace mirel
