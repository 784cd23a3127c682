#include "TFormPV.h"

#include <QCoreApplication>
#include <cstring>

namespace mirel {

TFormPV::TFormPV(WaveInput& input, LauncherLink& launcher)
    : GraphicWindow(input, launcher, QStringLiteral("Плотность вероянтости"), "pbPV", "PM")
{
    pbPV = surface();
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

bool TFormPV::CopyBlock(const std::uint8_t* buffer)
{
    if (Running && Live && buffer && static_cast<int>(BlockCopy.size()) >= BufferBytes)
        std::memcpy(BlockCopy.data(), buffer, static_cast<size_t>(BufferBytes));
    return true;
}

void TFormPV::RedrawCurves()
{
    if (Running)
        PVPaint();
}

void TFormPV::ClearFon()
{
    pbPV->clear();
}

void TFormPV::ClearDiagr() {}
void TFormPV::ProcessData() {}
void TFormPV::PVPaint() {}

}  // namespace mirel
