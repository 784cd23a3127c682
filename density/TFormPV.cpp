#include "TFormPV.h"

#include <QCoreApplication>
#include <QVBoxLayout>
#include <cstring>

namespace mirel {

TFormPV::TFormPV(WaveInput& input, LauncherLink& launcher)
    : InstrumentWindow(input, launcher, QStringLiteral("Плотность вероянтости"))
{
    auto* layout = new QVBoxLayout(clientArea());
    layout->setContentsMargins(0, 0, 0, 0);
    pbPV = new DrawingSurface(clientArea());
    pbPV->setObjectName("pbPV");
    layout->addWidget(pbPV, 1);
    connect(pbPV, &DrawingSurface::resized, this, [this] { ClearFon(); });
}

bool TFormPV::Start()
{
    if (Running) {
        Stop();
        while (Running)
            QCoreApplication::processEvents();
    }
    const int frames = RefreshRate > 0 ? SampleRate / RefreshRate : 0;
    if (!StartCapture(8, frames))
        return false;
    BlockCopy.assign(static_cast<size_t>(BufferBytes), 128);
    Running = true;
    return true;
}

void TFormPV::Stop()
{
    recorder().StopRecording();
    Running = false;
}

void TFormPV::OnWimData(const WimDataEvent& message)
{
    ++BlockCounter;
    if (Running && Live && Buffer && static_cast<int>(BlockCopy.size()) >= BufferBytes)
        std::memcpy(BlockCopy.data(), Buffer, static_cast<size_t>(BufferBytes));
    ProcessData();
    PVPaint();
    GetNextBuffer(message);
}

void TFormPV::FormShow()
{
    if (!Running)
        Start();
    InstrumentWindow::FormShow();
    ClearFon();
}

void TFormPV::FormCloseQuery()
{
    Stop();
    InstrumentWindow::FormCloseQuery();
}

void TFormPV::ChangeColor()
{
    ToggleScheme();
    ClearFon();
    if (Running)
        PVPaint();
}

void TFormPV::ClearFon()
{
    pbPV->setBackgroundColor(CurrentScheme.Background);
    pbPV->clear();
}

void TFormPV::ClearDiagr() {}
void TFormPV::ProcessData() {}
void TFormPV::PVPaint() {}

}  // namespace mirel
