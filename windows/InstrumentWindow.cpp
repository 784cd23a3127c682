#include "windows/InstrumentWindow.h"

#include "common/WideVectors.h"
#include "display/AppFont.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>
#include <utility>

namespace mirel {

InstrumentWindow::InstrumentWindow(WaveInput& input, LauncherLink& launcher, const QString& caption)
    : Launcher(launcher), recorder_(input)
{
    setWindowTitle(caption);
    setFont(appFont());
    setMinimumSize(MinimumWidth, MinimumHeight);
    setSizeGripEnabled(false);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    toolbarSlot_ = new QWidget(this);
    toolbarSlot_->setFixedHeight(ToolbarHeight);
    toolbarLayout_ = new QVBoxLayout(toolbarSlot_);
    toolbarLayout_->setContentsMargins(0, 0, 0, 0);
    clientArea_ = new QWidget(this);
    layout->addWidget(toolbarSlot_);
    layout->addWidget(clientArea_, 1);

    reopenTimer_.setInterval(ReopenIntervalMs);
    connect(&reopenTimer_, &QTimer::timeout, this, [this] { reopenDevice(); });
    recorder_.DeviceLostChanged = [this](bool lost) {
        if (lost)
            reopenTimer_.start();
        else
            reopenTimer_.stop();
        if (!tearingDown_)
            DeviceLostChanged(lost);
    };
}

InstrumentWindow::~InstrumentWindow()
{
    // The instrument's own arrays are gone by now: a block still in flight is only given back.
    tearingDown_ = true;
    recorder_.DeviceLostChanged = nullptr;
    recorder_.StopRecording();
}

void InstrumentWindow::Shutdown()
{
    tearingDown_ = true;
    recorder_.StopRecording();
    Running = false;
}

void InstrumentWindow::dockToolbar(QWidget* panel)
{
    panel->setParent(toolbarSlot_);
    toolbarLayout_->addWidget(panel);
    panel->show();
}

void InstrumentWindow::reopenDevice()
{
    // Only a shown window tries: a statistics run in a hidden window waits until it is shown.
    if (isVisible() && !tearingDown_ && recorder_.ReopenDue())
        recorder_.Reopen();
}

bool InstrumentWindow::event(QEvent* e)
{
    if (e->type() != WimDataEvent::eventType())
        return QDialog::event(e);
    const auto& message = static_cast<const WimDataEvent&>(*e);
    // A buffer of a capture that was already given up (a stop that timed out) is not touched.
    if (!recorder_.IsCurrent(message))
        return true;
    if (tearingDown_)
        GetNextBuffer(message);
    else
        OnWimData(message);
    return true;
}

bool InstrumentWindow::StartCapture(int bitsPerSample, int framesPerBuffer)
{
    if (!recorder_.StartRecording(DeviceId, 2, SampleRate, bitsPerSample, this, framesPerBuffer, &Buffer))
        return false;
    BufferBytes = recorder_.BufferBytes;
    return true;
}

void InstrumentWindow::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

void InstrumentWindow::FormShow()
{
    resize(std::max(Launcher.InstrumentWidth, MinimumWidth), std::max(Launcher.InstrumentHeight, MinimumHeight));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.width() / 2 - width() / 2, area.height() / 2 - height() / 2 - 12);
    }
}

void InstrumentWindow::closeEvent(QCloseEvent* e)
{
    FormCloseQuery();
    e->accept();
    done(QDialog::Rejected);
}

void InstrumentWindow::reject()
{
    // Escape does not close an instrument: closing one by itself ends the program.
}

void InstrumentWindow::FormCloseQuery()
{
    Launcher.InstrumentWidth = width();
    Launcher.InstrumentHeight = height();
    if (Launcher.RequestedInstrument == NoInstrument && Launcher.endApplication)
        Launcher.endApplication();
}

void InstrumentWindow::OnWimData(const WimDataEvent& message)
{
    // Gives the buffer back when the hand-off ends, however it ends, unless it went back already.
    struct GiveBack {
        InstrumentWindow& window;
        const WimDataEvent& message;
        bool pending = true;
        void now()
        {
            if (std::exchange(pending, false))
                window.GetNextBuffer(message);
        }
        ~GiveBack() { now(); }
    } giveBack{*this, message};

    ClearWideRegisters();  // whatever ran since the last block, this one runs at full speed
    if (!AcceptBlock())
        return;
    ++BlockCounter;
    const bool process = CopyBlock(Buffer);
    if (bufferReturn_ == BufferReturn::AfterCopying)
        giveBack.now();
    if (process)
        ProcessData();
    PaintBlock();
    BlockHandled();
}

}  // namespace mirel
