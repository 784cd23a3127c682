// The transfer function window's life: creation with its defaults, the capture of a quarter
// transform per block, the hand-off of each block into the analyser, and the handlers of its
// controls.
#include "transfer/TFormTF.h"

#include "transfer/TransferTexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QToolTip>
#include <cstring>
#include <utility>

namespace mirel {

using namespace transfer;

TFormTF::TFormTF(WaveInput& input, LauncherLink& launcher)
    : GraphicWindow(input, launcher, QStringLiteral("Передаточная функция"), "pbTF", "PM")
{
    setObjectName("FormTF");
    pbTF = surface();
    buildControls();
    layout_ = TransferLayout::FromSurface(pbTF->width(), pbTF->height());
    analyser_.SetSettings(panelSettings());
    showRange();
    showDelay();
    resize(510, 460);
    Created = true;
    enableExport({"Передаточная функция", 3 * spectrum::MarginLeft});
    CurrentScheme = BlackCopy;
    ChangeColor();  // to the white scheme, the surface drawn
}

bool TFormTF::Start()
{
    if (!Created)
        return false;
    if (Running)
        Stop();
    // A block completes one result (75 % overlap).
    if (!StartCapture(16, analyser_.Settings().FftLength / 4))
        return false;
    block_.assign(static_cast<std::size_t>(BufferBytes / 2), 0);
    // The new capture does not continue the frames kept: the measurement starts afresh.
    analyser_.SetRate(SampleRate);
    analyser_.Reset();
    delaySought_ = false;
    paused_ = false;
    Live = true;  // a display frozen before would stay empty
    showDelay();
    Running = true;
    ClearFon();
    return true;
}

void TFormTF::Stop()
{
    recorder().StopRecording();
    Running = false;
}

bool TFormTF::CopyBlock(const std::uint8_t* buffer)
{
    if (!buffer || static_cast<int>(block_.size()) * 2 < BufferBytes)
        return false;
    // A frozen display keeps its result; the blocks after it do not follow on the ones before.
    if (!Live) {
        paused_ = true;
        return false;
    }
    if (std::exchange(paused_, false))
        analyser_.Discontinue();
    std::memcpy(block_.data(), buffer, static_cast<std::size_t>(BufferBytes));
    newResult_ = analyser_.Feed(block_) > 0;
    return newResult_;
}

void TFormTF::ProcessData()
{
    measurementsStale();
}

void TFormTF::PaintBlock()
{
    if (std::exchange(newResult_, false))
        TFPaint();
}

void TFormTF::FormShow()
{
    GraphicWindow::FormShow();
    TFPaint();
}

void TFormTF::FrameResize()
{
    ClearFon();
    TFPaint();
}

// ---- Controls ----

TransferSettings TFormTF::panelSettings() const
{
    TransferSettings s;
    s.FftLength = cbN->currentText().toInt();
    s.Window = static_cast<spectrum::WindowKind>(cbWindow->currentData().toInt());
    s.Averaging = cbAverage->currentData().toInt();
    s.Smoothing = cbSmoothing->currentData().toInt();
    s.LowHz = range_.LowHz;
    s.HighHz = range_.HighHz;
    s.CompensateDelay = chbCompensate->isChecked();
    return s;
}

void TFormTF::cbNChange()
{
    analyser_.SetSettings(panelSettings());
    if (Running)
        Start();
    TFPaint();
}

void TFormTF::settingsChange()
{
    analyser_.SetSettings(panelSettings());
    measurementsStale();
    TFPaint();
}

void TFormTF::btnResetClick()
{
    analyser_.Reset();
    delaySought_ = false;
    Live = true;
    showDelay();
    measurementsStale();
    TFPaint();
}

void TFormTF::edExit(QLineEdit* sender)
{
    DisplayRange candidate = range_;
    double* field = sender == edFLow       ? &candidate.LowHz
                    : sender == edFHigh    ? &candidate.HighHz
                    : sender == edDbTop    ? &candidate.TopDb
                    : sender == edDbBottom ? &candidate.BottomDb
                                           : &candidate.CoherenceThreshold;
    const std::optional<double> typed = TypedNumber(sender->text().toStdString());
    if (typed)
        *field = *typed;
    const std::string fault = typed ? RangeFault(candidate) : "Введите число";
    // The reason stays with the field too, for the command line that typed into it.
    sender->setProperty("fault", QString::fromStdString(fault));
    if (!fault.empty()) {
        fieldFault_ = QString::fromStdString(fault);
        showRange();
        if (QGuiApplication::platformName() != QStringLiteral("offscreen"))
            QToolTip::showText(sender->mapToGlobal(QPoint(0, sender->height())), fieldFault_, sender);
        return;
    }
    fieldFault_.clear();
    const bool same = candidate == range_;
    range_ = candidate;
    showRange();
    if (same)
        return;
    analyser_.SetSettings(panelSettings());
    measurementsStale();
    ClearFon();
    TFPaint();
}

void TFormTF::showRange()
{
    const std::pair<QLineEdit*, double> fields[] = {{edFLow, range_.LowHz},
                                                    {edFHigh, range_.HighHz},
                                                    {edDbTop, range_.TopDb},
                                                    {edDbBottom, range_.BottomDb},
                                                    {edCoherence, range_.CoherenceThreshold}};
    for (const auto& [edit, value] : fields) {
        const QSignalBlocker quiet(edit);
        edit->setText(QString::fromStdString(FieldText(value)));
    }
}

void TFormTF::cbBlankingChange()
{
    range_.HideIncoherent = cbBlanking->currentIndex() == 1;
    TFPaint();
}

void TFormTF::btnDelayClick()
{
    if (!analyser_.DelaySearchReady()) {
        lblDelay->setText(QStringLiteral("Мало сигнала для поиска: нужно 2 с без перерыва"));
        return;
    }
    analyser_.FindDelay();
    delaySought_ = true;
    showDelay();
    measurementsStale();
    TFPaint();
}

void TFormTF::showDelay()
{
    const DelayResult& delay = analyser_.Delay();
    lblDelay->setText(delaySought_ ? QString::fromStdString(DelayText(delay)) : QStringLiteral("—"));
    chbCompensate->setEnabled(delay.Valid);
}

void TFormTF::pbTFMouseDown(Qt::MouseButton button, QPoint position)
{
    freezeClick(button, position, Live);
}

}  // namespace mirel
