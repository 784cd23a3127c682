// The window's own export runs: its popup menu's save commands with the questions answered by the
// command line, or, without the title band, its redraw for the export and the picture writer.
#include "app/SnapshotRun.h"

#include "app/BatchWait.h"
#include "app/ControlSettings.h"
#include "density/TFormPV.h"
#include "oscilloscope/TFormOS.h"
#include "spectrum/TFormSP.h"

#include <QFile>
#include <QImage>
#include <iostream>
#include <memory>

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
    // The display redrawn for the export, without the title band.
    virtual QImage picture() = 0;
};

template <class Window>
class SnapshotOf final : public Window, public Snapshot {
public:
    using Window::Window;
    GraphicWindow& window() override { return *this; }
    void setBlockLimit(int limit) override { limit_ = limit; }
    QImage picture() override
    {
        this->RedrawForExport();
        return this->surface()->image().copy();
    }

protected:
    bool AcceptBlock() override { return this->BlockCounter < limit_ && Window::AcceptBlock(); }

private:
    int limit_ = 1 << 30;
};

std::unique_ptr<Snapshot> makeWindow(const std::string& instrument, WaveInput& input, LauncherLink& launcher)
{
    if (instrument == "oscilloscope")
        return std::make_unique<SnapshotOf<TFormOS>>(input, launcher);
    if (instrument == "spectrum")
        return std::make_unique<SnapshotOf<TFormSP>>(input, launcher);
    return std::make_unique<SnapshotOf<TFormPV>>(input, launcher);
}

}  // namespace

bool snapshotTypeKnown(const std::string& output)
{
    return outputType(output) != nullptr;
}

int takeSnapshot(const BatchCommand& command, WaveInput& input, int device, int rate)
{
    LauncherLink launcher;
    launcher.InstrumentWidth = command.width;
    launcher.InstrumentHeight = command.height;
    const std::unique_ptr<Snapshot> snapshot = makeWindow(command.instrument, input, launcher);
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

    const int limit = window.BlockCounter + command.blocks;
    snapshot->setBlockLimit(limit);
    if (!waitUntil([&window, limit] { return window.BlockCounter >= limit; },
                   [&window] { return static_cast<double>(window.BlockCounter); })) {
        std::cerr << "mirel: устройство не дает сигнала " << StallMs / 1000 << " с\n";
        return RunFailed;
    }

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
        failure = WritePicture(output, snapshot->picture(), type.Format);
    if (!failure.isEmpty()) {
        std::cerr << "mirel: " << failure.simplified().toStdString() << '\n';
        return RunFailed;
    }
    return 0;
}

}  // namespace mirel
