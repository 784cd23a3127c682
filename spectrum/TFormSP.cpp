#include "TFormSP.h"

#include "BlockHandoff.h"

#include <QSlider>

namespace mirel {

TFormSP::TFormSP(WaveInput& input, LauncherLink& launcher)
    : GraphicWindow(input, launcher, QStringLiteral("Спектроанализатор"), "pbSP", "PM")
{
    pbSP = surface();
    connect(pbSP, &DrawingSurface::resized, this, [this] { ClearFon(); });

    // The accuracy control chooses the transform length; its own window part comes with the
    // spectrum controls. Here it only guards Stop, as the capture may not be stopped twice
    // within a second of an accuracy change.
    tbAccuracy = new QSlider(Qt::Horizontal, clientArea());
    tbAccuracy->setObjectName("tbAccuracy");
    tbAccuracy->setRange(0, 4);
    tbAccuracy->setValue(4);
    tbAccuracy->hide();

    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    FormReady = true;
}

bool TFormSP::Start()
{
    if (!FormReady)
        return false;
    if (Running)
        Stop();
    if (!StartCapture(16, FftLength))
        return false;
    SamplesA.assign(static_cast<size_t>(BufferBytes / 2), 0);
    SamplesB.assign(static_cast<size_t>(BufferBytes / 2), 0);
    Running = true;
    return true;
}

void TFormSP::Stop()
{
    if (!tbAccuracy->isEnabled())
        return;  // within a second of an accuracy change the capture keeps running
    tbAccuracy->setEnabled(false);
    Timer1Tag = 1;
    Timer1.start();
    recorder().StopRecording();
    Running = false;
}

void TFormSP::Timer1Timer()
{
    if (Timer1Tag == 1) {
        Timer1.stop();
        Timer1Tag = 0;
        tbAccuracy->setEnabled(true);
    }
}

bool TFormSP::CopyBlock(const std::uint8_t* buffer)
{
    if (!Live)
        return false;
    const int frames = BufferBytes / 4;
    if (buffer && static_cast<int>(SamplesA.size()) >= frames && static_cast<int>(SamplesB.size()) >= frames)
        DeinterleaveStereo16(buffer, BufferBytes, SamplesA.data(), SamplesB.data());
    return true;
}

void TFormSP::ClearFon()
{
    pbSP->clear();
}

void TFormSP::ClearDiagr() {}
void TFormSP::ProcessData() {}
void TFormSP::SPPaint() {}

}  // namespace mirel
