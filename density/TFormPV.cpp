#include "density/TFormPV.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <array>
#include <cstring>

namespace mirel {

namespace {

// The window's title, which also names the instrument in a saved picture's band and file name.
constexpr const char* Caption = "Плотность вероятности";

}  // namespace

TFormPV::TFormPV(WaveInput& input, LauncherLink& launcher)
    : GraphicWindow(input, launcher, QString::fromUtf8(Caption), "pbPV", "PM")
{
    setObjectName("FormPV");
    pbPV = surface();
    buildControls();
    ShowA = cb1k->isChecked();
    ShowB = cb2k->isChecked();
    Normalised = rbNM->isChecked();
    resize(510, 460);
    SetNewBufSize();
    UpdateGeometry();
    points_.Allocate(pv::BinCount);

    tbVP1Change(tbVP1);
    tbVP1Change(tbVP2);
    rbPVClick();
    PaintBorders();
    enableExport({Caption, 3 * pv::MarginLeft});

    connect(pbPV, &DrawingSurface::resized, this, [this] { FrameResize(); });
    connect(pbPV, &DrawingSurface::mousePressed, this,
            [this](Qt::MouseButton button, QPoint position) { pbPVMouseDown(button, position); });
}

bool TFormPV::Start()
{
    if (Running) {
        Stop();
        while (Running)
            QCoreApplication::processEvents();
    }
    ShowA = cb1k->isChecked();
    ShowB = cb2k->isChecked();
    Normalised = rbNM->isChecked();
    SetNewBufSize();
    if (!StartCapture(8, FramesPerBlock))
        return false;
    BlockCopy.assign(static_cast<size_t>(BufferBytes), 0);
    blockBytes_ = 0;
    Running = true;
    Live = true;
    return true;
}

void TFormPV::Stop()
{
    recorder().StopRecording();
    Running = false;
}

void TFormPV::SetNewBufSize()
{
    FramesPerBlock = pv::SetNewBufSize(SampleRate, RefreshRate);
}

bool TFormPV::CopyBlock(const std::uint8_t* buffer)
{
    if (Running && Live && buffer && static_cast<int>(BlockCopy.size()) >= BufferBytes) {
        std::memcpy(BlockCopy.data(), buffer, static_cast<size_t>(BufferBytes));
        blockBytes_ = BufferBytes;
    }
    // A frozen picture is computed and drawn again from the block it holds.
    return true;
}

void TFormPV::ProcessData()
{
    const pv::DisplayMode mode{Normalised, ScaleA, ScaleB};
    pv::ProcessData(std::span(BlockCopy).first(static_cast<size_t>(blockBytes_)), geometry_, mode, HistA, HistB,
                    points_.TraceA, points_.TraceB);
    measurementsStale();
}

void TFormPV::RedrawCurves()
{
    if (Running) {
        ProcessData();
        PVPaint();
    }
}

void TFormPV::UpdateGeometry()
{
    geometry_ = pv::PlotGeometry::FromSurface(pbPV->width(), pbPV->height());
}

// ---- Controls ----

void TFormPV::tbrpsChange()
{
    RefreshRate = tbrps->value();
    gbrps->setTitle(QString::fromUtf8(pv::RefreshRateCaption(RefreshRate)));
    Stop();
    ClearDiagr();
    SetNewBufSize();
    // The stop waits for the block in flight; a switch to another instrument in that time closed
    // this window, which must not capture in hiding.
    if (isVisible())
        Start();
    FormPaint();
}

void TFormPV::rbPVClick()
{
    Normalised = rbNM->isChecked();
    const std::array<QWidget*, 5> scaleControls{tbVP1, tbVP2, lblVP1, lblVP2, Label11};
    for (QWidget* control : scaleControls)
        control->setEnabled(!Normalised);
    // The scales follow the mode also without a capture.
    AYTextOut();
    BYTextOut();
    if (Running) {
        ProcessData();
        PVPaint();
    }
}

void TFormPV::cb1kClick()
{
    ClearDiagr();
    ShowA = cb1k->isChecked();
    ShowB = cb2k->isChecked();
    PVPaint();
}

void TFormPV::tbVP1Change(QSlider* sender)
{
    const double scale = pv::ScaleAt(sender->value());
    const QString caption = QString::fromUtf8(pv::ScaleCaption(scale));
    if (sender == tbVP1) {
        ScaleA = scale;
        lblVP1->setText(caption);
        AYTextOut();
    } else {
        ScaleB = scale;
        lblVP2->setText(caption);
        BYTextOut();
    }
    // While live the next block takes the new scale; a frozen picture follows at once.
    if (Running && !Live && !Normalised) {
        ProcessData();
        PVPaint();
    }
}

void TFormPV::pbPVMouseDown(Qt::MouseButton button, QPoint position)
{
    freezeClick(button, position, Live);
}

void TFormPV::FormPaint()
{
    if (Live) {
        ProcessData();
        PVPaint();
    }
    XTextOut();
    AYTextOut();
    BYTextOut();
}

void TFormPV::FrameResize()
{
    if (!isVisible()) {
        if (Running)
            Stop();
        return;
    }
    ClearFon();
    FormPaint();
}

}  // namespace mirel
