#pragma once
// What the four instrument windows share: their capture engine and its buffer slot, the device
// and rate written by the launcher, the hand-off of filled buffers (OnWimData and its steps), the
// reopening of a lost device, the geometry hand-over between windows and the place of the
// launcher's toolbar panel.

#include "capture/TWaveRecorder.h"
#include "windows/LauncherLink.h"

#include <QDialog>
#include <QTimer>

class QVBoxLayout;

namespace mirel {

class InstrumentWindow : public QDialog {
    Q_OBJECT

public:
    static constexpr int MinimumWidth = 500;
    static constexpr int MinimumHeight = 450;
    static constexpr int ToolbarHeight = 40;
    static constexpr int ReopenIntervalMs = 1000;
    // Written on a display while its device is lost.
    static constexpr const char* DeviceLostText = "Нет сигнала: устройство недоступно";

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

    // Moves the launcher's toolbar panel onto the top of this window.
    void dockToolbar(QWidget* panel);

    // Stops the capture before the program ends, while the whole window still exists.
    void Shutdown();

    // The capture engine and the window's buffer pointer, for the instruments and for tests.
    TWaveRecorder& recorder() { return recorder_; }
    std::uint8_t* buffer() const { return Buffer; }

    // The capture's device stopped delivering; the window tries to reopen it about once a second
    // while it is shown.
    bool deviceLost() const { return recorder_.DeviceLost; }
    // Frames of the signal that fell between blocks since the capture was started.
    std::int64_t lostFrames() const { return recorder_.LostFrames; }

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

    // When the hand-off gives the buffer back to the engine: after the block was processed and
    // drawn, or as soon as it is copied. Either way the input holds the frames that arrive while
    // the buffer is away, so that consecutive blocks continue each other.
    enum class BufferReturn { AfterPainting, AfterCopying };
    void setBufferReturn(BufferReturn when) { bufferReturn_ = when; }

    // The filled-buffer message of the capture now open, handed off in the instrument's steps:
    // AcceptBlock, then (the block counted) CopyBlock, ProcessData when the copy asks for it,
    // PaintBlock and BlockHandled. The buffer goes back to the engine on every path, also when the
    // block is declined or a step throws.
    void OnWimData(const WimDataEvent& message);
    // False: the block is not wanted now and goes straight back.
    virtual bool AcceptBlock() { return true; }
    // Copies the engine's buffer (null when there is none) into the instrument's own arrays;
    // returns whether ProcessData is to run.
    virtual bool CopyBlock(const std::uint8_t* buffer) = 0;
    virtual void ProcessData() {}
    virtual void PaintBlock() {}
    virtual void BlockHandled() {}
    void GetNextBuffer(const WimDataEvent& message) { recorder_.BufferDone(message); }

    // The device of the capture was lost (true) or delivers again (false); the instrument says so
    // on its display.
    virtual void DeviceLostChanged(bool) {}

    // Size, centring and the instrument's own preparation when shown (FormShow).
    virtual void FormShow();
    // The close request: stop (where the instrument does), hand the size back, end the program
    // when the user closed the window itself.
    virtual void FormCloseQuery();

    // Opens the capture with the instrument's format; frees nothing, the caller does.
    bool StartCapture(int bitsPerSample, int framesPerBuffer);

    // The area below the toolbar, for the instrument's own controls.
    QWidget* clientArea() const { return clientArea_; }

    LauncherLink& Launcher;
    std::uint8_t* Buffer = nullptr;  // the engine's buffer while a capture is open

private:
    void reopenDevice();

    QWidget* toolbarSlot_;
    QVBoxLayout* toolbarLayout_;
    QWidget* clientArea_;
    bool tearingDown_ = false;
    BufferReturn bufferReturn_ = BufferReturn::AfterPainting;
    TWaveRecorder recorder_;
    QTimer reopenTimer_;  // runs while the device is lost
};

}  // namespace mirel
