#include "TFormSP.h"

#include "BlockHandoff.h"

#include <QSlider>
#include <QVBoxLayout>

namespace mirel {

TFormSP::TFormSP(WaveInput& input, LauncherLink& launcher)
    : InstrumentWindow(input, launcher, QStringLiteral("Спектроанализатор"))
{
    auto* layout = new QVBoxLayout(clientArea());
    layout->setContentsMargins(0, 0, 0, 0);
    pbSP = new DrawingSurface(clientArea());
    pbSP->setObjectName("pbSP");
    layout->addWidget(pbSP, 1);
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

void TFormSP::OnWimData(const WimDataEvent& message)
{
    if (!Running) {
        GetNextBuffer(message);
        return;
    }
    ++BlockCounter;
    if (Live) {
        const int frames = BufferBytes / 4;
        if (Buffer && static_cast<int>(SamplesA.size()) >= frames && static_cast<int>(SamplesB.size()) >= frames)
            DeinterleaveStereo16(Buffer, BufferBytes, SamplesA.data(), SamplesB.data());
        ProcessData();
    }
    SPPaint();
    GetNextBuffer(message);
}

void TFormSP::FormShow()
{
    if (!Running)
        Start();
    InstrumentWindow::FormShow();
    ClearFon();
}

void TFormSP::FormCloseQuery()
{
    Stop();
    InstrumentWindow::FormCloseQuery();
}

void TFormSP::ChangeColor()
{
    ToggleScheme();
    ClearFon();
    SPPaint();
}

void TFormSP::ClearFon()
{
    pbSP->setBackgroundColor(CurrentScheme.Background);
    pbSP->clear();
}

void TFormSP::ClearDiagr() {}
void TFormSP::ProcessData() {}
void TFormSP::SPPaint() {}

}  // namespace mirel
