#include "oscilloscope/TFormOS.h"

#include "display/UpDown.h"
#include "oscilloscope/RefreshPacing.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSlider>
#include <QToolButton>

namespace mirel {

namespace {

QString qt(const std::string& text)
{
    // Two-line captions are written with CR LF; Qt breaks lines at LF alone.
    return QString::fromUtf8(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// A track bar that, like the classic control, ignores a range that would invert it.
void applyShiftBar(QSlider* bar, const osc::ShiftBarLayout& layout)
{
    if (layout.Maximum >= bar->minimum())
        bar->setMaximum(layout.Maximum);
    if (layout.Minimum <= bar->maximum())
        bar->setMinimum(layout.Minimum);
    bar->setTickInterval(std::max(layout.TickSpacing, 1));
    bar->setValue(layout.Position);
}

}  // namespace

TFormOS::TFormOS(WaveInput& input, LauncherLink& launcher)
    : GraphicWindow(input, launcher, QStringLiteral("Осциллограф"), "pbOS", "PMenu")
{
    setObjectName("FormOS");
    pbOS = surface();
    PMenu = popupMenu();
    N1 = exportAction();
    buildControls();
    geometry_ = osc::PlotGeometry::FromSurface(pbOS->width(), pbOS->height());
    applySweepControls();
    connect(pbOS, &DrawingSurface::resized, this, [this] { FrameResize(); });
    connect(pbOS, &DrawingSurface::mousePressed, this,
            [this](Qt::MouseButton button, QPoint position) { pbOSMouseDown(button, position); });

    PaintBorders();
    ClearFon();
    enableExport({"Осциллограмма", 3 * static_cast<int>(geometry_.PlotLeft)});
    FormReady = true;
    udXClick();
    udAYClick(udAY);
    udAYClick(udBY);
    resize(510, 460);

    TimerGetNewData.start();
    TimerRefPerSec.start();
}

bool TFormOS::Start()
{
    if (Running) {
        Stop();
        while (Running)
            QCoreApplication::processEvents();
    }
    ChannelAOn = cb1k->isChecked();
    ChannelBOn = cb2k->isChecked();
    const osc::BufferSizes sizes = osc::SetNewBufSize(SampleRate, TimeBase);
    ScreenPoints = sizes.ScreenPoints;
    BlockFrames = sizes.BlockFrames;
    if (!StartCapture(16, BlockFrames))
        return false;
    BlockCopy.Allocate(BufferBytes);
    traces_.Allocate(ScreenPoints);
    Running = true;
    sweep_.OnStart();
    NRGo();
    return true;
}

void TFormOS::Stop()
{
    recorder().StopRecording();
    Running = false;
    sweep_.OnStop();
}

bool TFormOS::CopyBlock(const std::uint8_t* buffer)
{
    BlockCopy.Take(Running ? buffer : nullptr, Running);
    triggers_ = osc::Synchronize(SyncMode, BlockCopy.View());
    return true;
}

void TFormOS::BlockHandled()
{
    sweep_.BlockHandled(cbRefInt->isChecked());
}

void TFormOS::DeviceLostChanged(bool lost)
{
    if (lost) {
        // Without blocks there is no refresh rate to claim.
        sweep_.TakeRefreshCount();
        gbRefreshInt->setTitle(QString::fromUtf8(osc::RefreshCaptionWithoutRate));
    }
    GraphicWindow::DeviceLostChanged(lost);
}

void TFormOS::ProcessData()
{
    if (!FormReady || !Running)
        return;
    geometry_ = osc::PlotGeometry::FromSurface(pbOS->width(), pbOS->height());
    osc::ProcessData(BlockCopy.View(), triggers_, geometry_, traceScales(), traces_.TraceA, traces_.TraceB);
    measurementsStale();
}

osc::TraceScales TFormOS::traceScales() const
{
    osc::TraceScales scales;
    scales.A = {ChannelAOn, SensA, ShiftA};
    scales.B = {ChannelBOn, SensB, ShiftB};
    scales.ShiftX = ShiftX;
    scales.ScreenPoints = ScreenPoints;
    return scales;
}

void TFormOS::SetNewBufSize()
{
    ClearDiagr();
    const osc::BufferSizes sizes = osc::SetNewBufSize(SampleRate, TimeBase);
    ScreenPoints = sizes.ScreenPoints;
    BlockFrames = sizes.BlockFrames;
}

// ---- Controls ----

void TFormOS::ChangeControl(QObject* sender)
{
    ClearDiagr();
    ChannelAOn = cb1k->isChecked();
    ChannelBOn = cb2k->isChecked();
    const QString name = sender->objectName();
    if (name == "tbAYShift")
        ShiftA = tbAYShift->value();
    else if (name == "tbBYShift")
        ShiftB = tbBYShift->value();
    else if (name == "tbXShift")
        ShiftX = tbXShift->value();
    else if (name == "sbtnAY0") {
        ShiftA = 0;
        tbAYShift->setValue(0);
    } else if (name == "sbtnBY0") {
        ShiftB = 0;
        tbBYShift->setValue(0);
    } else if (name == "sbtnX0") {
        ShiftX = 0;
        tbXShift->setValue(0);
    }
    ProcessData();
    OscillPaint();
}

void TFormOS::udAYClick(UpDown* sender)
{
    const double sens = osc::SensitivityAt(sender->position());
    const QString caption = QString::fromUtf8(osc::SensitivityCaption(sens, pbOS->height()));
    if (sender->tag() == 1) {
        SensA = sens;
        lblda->setText(caption);
    } else {
        SensB = sens;
        lbldb->setText(caption);
    }
    if (Running) {
        ProcessData();
        AYTextOut();
        BYTextOut();
        OscillPaint();
    }
}

void TFormOS::udXClick()
{
    TimeBase = osc::TimeBaseAt(udX->position());
    lbldx->setText(QString::fromUtf8(osc::TimeBaseCaption(TimeBase, pbOS->width())));
    if (!Running) {
        SetNewBufSize();
    } else if (sweep_.Continuous()) {
        ClearDiagr();
        Stop();
        SetNewBufSize();
        // The stop waits for the block in flight; a switch to another instrument in that time
        // closed this window, which must not capture in hiding.
        if (isVisible())
            Start();
    } else {
        SetNewBufSize();
    }
    XTextOut();
    AYTextOut();
    BYTextOut();
    if (FormReady && isVisible())
        setFocus();
}

void TFormOS::cbSinchroChange()
{
    if (const auto mode = osc::SyncModeForItem(cbSinchro->currentIndex()))
        SyncMode = *mode;
}

void TFormOS::NRGo()
{
    sweep_.NRGo();
    applySweep(osc::SweepCommand::Go);
}

void TFormOS::NRPause()
{
    sweep_.NRPause();
    applySweep(osc::SweepCommand::Pause);
}

void TFormOS::sbtnRazvClick()
{
    applySweep(sweep_.sbtnRazvClick());
}

void TFormOS::sbtnRazvGoClick()
{
    sweep_.sbtnRazvGoClick();
}

void TFormOS::pbOSMouseDown(Qt::MouseButton button, QPoint position)
{
    const bool right = button == Qt::RightButton;
    applySweep(sweep_.pbOSMouseDown(right ? osc::MouseButton::Right : osc::MouseButton::Left));
    // The picture is frozen before the popup menu opens.
    if (right)
        popUpMenu(position);
}

void TFormOS::applySweep(osc::SweepCommand command)
{
    if (command == osc::SweepCommand::Go)
        ClearDiagr();
    applySweepControls();
}

void TFormOS::applySweepControls()
{
    const osc::SweepControls controls = sweep_.Controls();
    sbtnRazv->resize(controls.RazvWidth, sbtnRazv->height());
    sbtnRazv->setText(qt(controls.RazvCaption));
    Label8->setText(qt(controls.ModeLabel));
    sbtnRazvGo->setText(qt(controls.GoCaption));
    sbtnRazvGo->setVisible(controls.GoVisible);
    udX->setEnabled(controls.TimeBaseEnabled);
}

// ---- Refresh pacing and the job timer ----

void TFormOS::edRefreshIntervalChange()
{
    Timer.stop();
    Timer.setInterval(osc::ApplyRefreshIntervalDelay);
    Timer.start();
    TimerTag = static_cast<int>(osc::OscJob::ApplyRefreshInterval);
    TimerGetNewData.start();
}

void TFormOS::cbRefIntClick()
{
    edRefreshInterval->setEnabled(!cbRefInt->isChecked());
    edRefreshIntervalChange();
}

void TFormOS::TimerTimer()
{
    Timer.stop();
    if (TimerTag == static_cast<int>(osc::OscJob::ApplyRefreshInterval)) {
        const osc::AppliedInterval applied = osc::ApplyRefreshInterval(edRefreshInterval->text().toStdString());
        TimerGetNewData.setInterval(applied.DataRequestPeriod);
        const QSignalBlocker quiet(edRefreshInterval);  // putting the number back is no new typing
        edRefreshInterval->setText(QString::fromStdString(applied.Text));
    } else if (TimerTag == static_cast<int>(osc::OscJob::Geometry)) {
        GeometryJob();
    }
    TimerTag = 0;
    Timer.setInterval(osc::IdleJobTimerInterval);
}

void TFormOS::TimerRefPerSecTimer()
{
    const int count = sweep_.TakeRefreshCount();
    if (count == 0)
        return;
    if (const auto caption =
            osc::RefreshReadoutCaption(count, cbRefInt->isChecked(), edRefreshInterval->text().toStdString()))
        gbRefreshInt->setTitle(QString::fromUtf8(*caption));
    if (Running && !sweep_.Continuous())
        OscillPaint();
}

// ---- geometry_ ----

void TFormOS::FrameResize()
{
    if (!FormReady || !Running) {
        // Without a capture the frame and scales still follow the surface.
        geometry_ = osc::PlotGeometry::FromSurface(pbOS->width(), pbOS->height());
        ClearFon();
        return;
    }
    lbldx->setText(QString::fromUtf8(osc::TimeBaseCaption(TimeBase, pbOS->width())));
    PrevPlotWidth = geometry_.PlotWidth;
    PrevPlotHeight = geometry_.PlotHeight;
    geometry_ = osc::PlotGeometry::FromSurface(pbOS->width(), pbOS->height());
    TimerTag = static_cast<int>(osc::OscJob::Geometry);
    Timer.setInterval(osc::GeometryJobDelay);
    Timer.start();
    TimerTimer();
    udAYClick(udAY);
    udAYClick(udBY);
}

void TFormOS::GeometryJob()
{
    applyShiftBar(tbXShift, osc::XShiftBarLayout(geometry_.PlotWidth, PrevPlotWidth, ShiftX));
    applyShiftBar(tbAYShift, osc::YShiftBarLayout(geometry_.PlotHeight, PrevPlotHeight, ShiftA));
    applyShiftBar(tbBYShift, osc::YShiftBarLayout(geometry_.PlotHeight, PrevPlotHeight, ShiftB));
    ClearFon();
    ProcessData();
    OscillPaint();
}

}  // namespace mirel
