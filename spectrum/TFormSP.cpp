// The spectrum analyser window's life: creation with its defaults, capture per transform length,
// the hand-off of each block into the transform, and the handlers of its controls.
#include "spectrum/TFormSP.h"

#include "capture/BlockHandoff.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <utility>

namespace mirel {

using namespace spectrum;

TFormSP::TFormSP(WaveInput& input, LauncherLink& launcher)
    : GraphicWindow(input, launcher, QStringLiteral("Спектроанализатор"), "pbSP", "PM")
{
    setObjectName("FormSP");
    pbSP = surface();
    buildControls();
    buildViewMenu();
    geometry_ = PlotGeometry::FromSurface(pbSP->width(), pbSP->height());

    rbSpektrAmpClick();  // amplitude: scales at 15, the laid-out positions kept for the power spectrum
    tbAccuracyChange();  // 32768 points; no capture before creation has ended
    tbM1Change();
    cb1kClick();
    setBandRanges();
    resize(510, 460);
    FrameResize();
    Created = true;
    enableExport({"Спектр", 3 * MarginLeft});
    CurrentScheme = BlackCopy;
    ChangeColor();  // to the white scheme, the surface drawn
}

bool TFormSP::Start()
{
    if (!Created)
        return false;
    if (Running)
        Stop();
    if (!StartCapture(16, captureFrames()))
        return false;
    lines_.Reset();  // the new capture does not continue the old one
    // A block of the same length is kept: a display frozen before the window was closed shows
    // the same spectrum when it is opened again.
    const auto samples = static_cast<std::size_t>(BufferBytes / 2);
    if (SamplesA.size() != samples || pass_.FftLength() != FftLength) {
        SamplesA.assign(samples, 0);
        SamplesB.assign(samples, 0);
    }
    pass_.Allocate(FftLength);
    Running = true;
    NeedClear = true;
    ClearFon();
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
    if (!Live && !View.Spectrogram)
        return false;
    const int frames = BufferBytes / 4;
    if (buffer && static_cast<int>(SamplesA.size()) >= frames && static_cast<int>(SamplesB.size()) >= frames)
        DeinterleaveStereo16(buffer, BufferBytes, SamplesA.data(), SamplesB.data());
    if (View.Spectrogram)
        return feedSpectrogram();
    newBlock_ = true;
    return true;
}

void TFormSP::PaintBlock()
{
    // A frozen spectrogram keeps its picture while its lines run on.
    if (!View.Spectrogram || (linesUnshown_ > 0 && Live))
        SPPaint();
}

PassSettings TFormSP::passSettings() const
{
    return {SampleRate, LowFrequency, HighFrequency, AmplitudeMode, FullScaleA, FullScaleB, ShowA, ShowB, View};
}

void TFormSP::ProcessData()
{
    // Before the first start there are no arrays; after a stop the last block is shown on.
    if (!Created || !pass_.Allocated() || !(Running || (Live && !NeedClear)))
        return;
    if (NeedClear) {
        NeedClear = false;  // first, so that the clear cannot bring the pass back here
        ClearFon();
    }
    if (View.Spectrogram) {
        measurementsStale();
        return;
    }
    FullScaleA = FullScaleAt(AmplitudeMode, tbM1->value());
    FullScaleB = FullScaleAt(AmplitudeMode, tbM2->value());
    // A frozen or stopped display drawn again counts its block into the averages only once.
    pass_.Run(SamplesA, SamplesB, passSettings(), geometry_, CurveA, CurveB, std::exchange(newBlock_, false));
    if (View.PeakHold)
        pass_.BuildPeakCurves(passSettings(), geometry_, PeakA, PeakB);
    measurementsStale();
}

void TFormSP::FormShow()
{
    setBandRanges();
    GraphicWindow::FormShow();
    repaintWindow();
}

void TFormSP::setBandRanges()
{
    const int rate = SampleRate > 0 ? SampleRate : 48000;
    if (rate == bandRate_)
        return;
    bandRate_ = rate;
    const int count = BandPositionCount(rate);
    {
        const QSignalBlocker quietLow(tbFn1), quietHigh(tbFv1);
        tbFv1->setRange(2, count);
        tbFn1->setRange(1, count - 1);
        tbFn1->setValue(1);
        tbFv1->setValue(count);
    }
    tbFv1Change(tbFn1);
    tbFv1Change(tbFv1);
}

void TFormSP::FrameResize()
{
    geometry_ = PlotGeometry::FromSurface(pbSP->width(), pbSP->height());
    if (!isVisible()) {
        Stop();
        Timer1.start();
        return;
    }
    tbM1Change();
    FormPaint();
    ClearFon();
    SPPaint();
}

void TFormSP::repaintWindow()
{
    if (repaintPending_)
        return;
    repaintPending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (repaintPending_)
            FormPaint();
    });
}

// ---- Controls ----

void TFormSP::tbM1Change()
{
    FullScaleA = FullScaleAt(AmplitudeMode, tbM1->value());
    FullScaleB = FullScaleAt(AmplitudeMode, tbM2->value());
    lblM1->setText(QString::fromUtf8(DivisionCaption(FullScaleA, AmplitudeMode)));
    lblM2->setText(QString::fromUtf8(DivisionCaption(FullScaleB, AmplitudeMode)));
    PaintLevelLabels();
    if (Running && !Live)
        repaintWindow();  // the frozen spectrum at the new scale
}

void TFormSP::tbFv1Change(QSlider* sender)
{
    ClearDiagr();
    PaintVertLines(CurrentScheme.Background);
    if (sender == tbFn1) {
        LowFrequency = BandFrequencyAt(tbFn1->value());
        lblFn1->setText(QString::fromUtf8(BandCaption(LowFrequency)));
    } else {
        HighFrequency = BandFrequencyAt(tbFv1->value());
        // The lower edge stays below the upper one: a lower edge pushed down runs this handler
        // for itself.
        tbFn1->setMaximum(tbFv1->value() - 1);
        lblFv1->setText(QString::fromUtf8(BandCaption(HighFrequency)));
    }
    PaintFreqLabels();
    PaintVertLines(CurrentScheme.Grid);
    if (Running && !Live)
        repaintWindow();
}

void TFormSP::rbSpektrAmpClick()
{
    const bool amplitude = rbSpektrAmp->isChecked();
    const KindSwitch kind = SwitchSpectrumKind(amplitude, {tbM1->value(), tbM2->value()}, savedScalePos_);
    {
        // Labels and a frozen repaint follow once, for the new kind.
        const QSignalBlocker quietA(tbM1), quietB(tbM2);
        for (QSlider* bar : {tbM1, tbM2})
            bar->setMaximum(kind.Maximum);
        tbM1->setValue(kind.Shown.A);
        tbM2->setValue(kind.Shown.B);
    }
    savedScalePos_ = kind.Saved;
    AmplitudeMode = amplitude;
    tbM1Change();
}

void TFormSP::cb1kClick()
{
    ClearDiagr();
    ShowA = cb1k->isChecked();
    ShowB = cb2k->isChecked();
    if (View.Spectrogram && Created)
        ClearFon();  // the stripes and their scales follow the channels
    SPPaint();
}

void TFormSP::pbSPMouseDown(Qt::MouseButton button, QPoint position)
{
    freezeClick(button, position, Live);
}

void TFormSP::tbAccuracyChange()
{
    const TransformSize size = TransformSizeAt(tbAccuracy->value());
    if (size.AccuracyFactor == AccuracyFactor && Running)
        return;
    Stop();
    AccuracyFactor = size.AccuracyFactor;
    FftLength = size.FftLength;
    Live = true;
    Start();
    tbFv1Change(tbFv1);
}

}  // namespace mirel
