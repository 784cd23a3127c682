#pragma once
// What the four instrument windows share: their capture engine and its buffer slot, the device
// and rate written by the launcher, the routing of filled buffers to OnWimData, the geometry
// hand-over between windows, the place of the launcher's toolbar panel, and the colour scheme.

#include "DisplayPalette.h"
#include "LauncherLink.h"
#include "TWaveRecorder.h"

#include <QDialog>

class QVBoxLayout;

namespace mirel {

class InstrumentWindow : public QDialog {
    Q_OBJECT

public:
    static constexpr int MinimumWidth = 500;
    static constexpr int MinimumHeight = 450;
    static constexpr int ToolbarHeight = 40;

    InstrumentWindow(WaveInput& input, LauncherLink& launcher, const QString& caption);
    ~InstrumentWindow() override;

    // Written by the launcher before every switch.
    int DeviceId = 0;
    int SampleRate = 0;

    bool Running = false;
    int BufferBytes = 0;
    int BlockCounter = 0;

    virtual bool Start() = 0;
    virtual void Stop() = 0;

    // Graphical windows: toggle the colour scheme and repaint; erase the curves; repaint them.
    virtual void ChangeColor() {}
    virtual void ClearDiagr() {}
    virtual void Repaint() {}
    virtual void SetLineWidth(int width) { LineWidth = width; }
    int lineWidth() const { return LineWidth; }
    const DisplayPalette& currentScheme() const { return CurrentScheme; }

    // Moves the launcher's toolbar panel onto the top of this window.
    void dockToolbar(QWidget* panel);

    // Stops the capture before the program ends, while the whole window still exists.
    void Shutdown();

    // The capture engine and the window's buffer pointer, for the instruments and for tests.
    TWaveRecorder& recorder() { return Recorder; }
    std::uint8_t* buffer() const { return Buffer; }

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void reject() override;
    void paintEvent(QPaintEvent* e) override;

    // The filled-buffer message of the capture now open.
    virtual void OnWimData(const WimDataEvent& message) = 0;
    void GetNextBuffer(const WimDataEvent& message) { Recorder.BufferDone(message); }

    // Size, centring and the instrument's own preparation when shown (FormShow).
    virtual void FormShow();
    // The close request: stop (where the instrument does), hand the size back, end the program
    // when the user closed the window itself.
    virtual void FormCloseQuery();

    // Opens the capture with the instrument's format; frees nothing, the caller does.
    bool StartCapture(int bitsPerSample, int framesPerBuffer);

    // Colour scheme of a graphical window: toggles between the launcher's two schemes.
    void ToggleScheme();

    // The area below the toolbar, for the instrument's own controls.
    QWidget* clientArea() const { return ClientArea; }

    LauncherLink& Launcher;
    DisplayPalette WhiteCopy;
    DisplayPalette BlackCopy;
    DisplayPalette CurrentScheme;
    int LineWidth = 1;
    std::uint8_t* Buffer = nullptr;  // the engine's buffer while a capture is open

private:
    QWidget* ToolbarSlot;
    QVBoxLayout* ToolbarLayout;
    QWidget* ClientArea;
    bool TearingDown = false;
    TWaveRecorder Recorder;
};

}  // namespace mirel
