#pragma once
// A minimal graphical instrument for the tests of the window bases: it records the steps the
// bases run, and can decline a block, skip processing or fail inside it.

#include "support/FakeWaveInput.h"
#include "windows/GraphicWindow.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace mirel::test {

class ProbeWindow : public GraphicWindow {
public:
    ProbeWindow(WaveInput& input, LauncherLink& link)
        : GraphicWindow(input, link, QStringLiteral("Probe"), "pbProbe", "PM")
    {
    }

    bool Start() override
    {
        Running = StartCapture(8, 100);
        return Running;
    }
    void Stop() override
    {
        recorder().StopRecording();
        Running = false;
    }
    void ClearDiagr() override { steps.push_back("ClearDiagr"); }
    void Repaint() override { steps.push_back("Repaint " + std::to_string(LineWidth)); }

    void giveBackEarly() { setBufferReturn(BufferReturn::AfterCopying); }

    // A fault inside a step ends the hand-off here, as the program's own handler would.
    bool event(QEvent* e) override
    {
        try {
            return GraphicWindow::event(e);
        } catch (const std::runtime_error&) {
            caught = true;
            return true;
        }
    }
    bool caught = false;

    FakeWaveInput* input = nullptr;
    bool accept = true;
    bool process = true;
    bool throwInProcess = false;
    std::vector<std::string> steps;
    std::uint8_t firstByte = 0;
    bool queuedWhileProcessing = false;

protected:
    bool AcceptBlock() override { return accept; }
    bool CopyBlock(const std::uint8_t* buffer) override
    {
        steps.push_back("copy");
        firstByte = buffer ? buffer[0] : 0;
        return process;
    }
    void ProcessData() override
    {
        steps.push_back("process");
        queuedWhileProcessing = input->bufferQueued();
        if (throwInProcess)
            throw std::runtime_error("fault in processing");
    }
    void PaintBlock() override { steps.push_back("paint"); }
    void BlockHandled() override { steps.push_back("handled"); }
    void ClearFon() override { steps.push_back("ClearFon"); }
    void RedrawCurves() override { steps.push_back("RedrawCurves"); }
};

}  // namespace mirel::test
