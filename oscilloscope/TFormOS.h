#pragma once
// The oscilloscope window: its controls, the block hand-off into the sweep, and the drawing of
// frame, grid, traces and labels on its surface. The computation lives in the Qt-free parts of
// this folder (scales, trigger, point mapping, axis texts, sweep state, refresh pacing).

#include "oscilloscope/AxisLabels.h"
#include "oscilloscope/OscBlock.h"
#include "oscilloscope/OscScales.h"
#include "oscilloscope/SweepState.h"
#include "oscilloscope/Synchronize.h"
#include "oscilloscope/TracePoints.h"
#include "windows/GraphicWindow.h"

#include <QTimer>
#include <string>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QSlider;
class QToolButton;

namespace mirel {

class UpDown;

class TFormOS : public GraphicWindow {
    Q_OBJECT

public:
    TFormOS(WaveInput& input, LauncherLink& launcher);

    bool Start() override;
    void Stop() override;
    void ClearDiagr() override;
    void Repaint() override { OscillPaint(); }
    // The time and the shown channels' samples under the cursor.
    std::vector<ReadingLine> CursorLines() override;
    std::optional<MeasuredValues> measuredValues(TextColour channel) override;

    // Handlers.
    void ChangeControl(QObject* sender);
    void udAYClick(UpDown* sender);
    void udXClick();
    void cbSinchroChange();
    void NRGo();
    void NRPause();
    void sbtnRazvClick();
    void sbtnRazvGoClick();
    void pbOSMouseDown(Qt::MouseButton button, QPoint position);
    void edRefreshIntervalChange();
    void cbRefIntClick();
    void TimerTimer();
    void TimerGetNewDataTimer() { sweep_.TimerGetNewDataTimer(); }
    void TimerRefPerSecTimer();

    // Screen.
    void ClearFon() override;
    void OscillPaint();
    void PaintBorders();
    void PaintVertLines();
    void PaintHorLines();
    void XTextOut();
    void AYTextOut();
    void BYTextOut();

    // State, readable by tests.
    const osc::SweepState& sweep() const { return sweep_; }
    const TraceSet& traces() const { return traces_; }
    const osc::PlotGeometry& geometry() const { return geometry_; }
    osc::TriggerOffsets triggers() const { return triggers_; }
    int screenPoints() const { return ScreenPoints; }
    int blockFrames() const { return BlockFrames; }
    double timeBase() const { return TimeBase; }
    const std::string& syncMode() const { return SyncMode; }
    int dataRequestPeriod() const { return TimerGetNewData.interval(); }
    const QImage& screenImage() const { return pbOS->image(); }

    DrawingSurface* pbOS;
    QCheckBox* cb1k;
    QCheckBox* cb2k;
    UpDown* udAY;
    UpDown* udBY;
    QLabel* lblda;
    QLabel* lbldb;
    QSlider* tbAYShift;
    QSlider* tbBYShift;
    QToolButton* sbtnAY0;
    QToolButton* sbtnBY0;
    UpDown* udX;
    QLabel* lbldx;
    QSlider* tbXShift;
    QToolButton* sbtnX0;
    QComboBox* cbSinchro;
    QLabel* Label8;
    QToolButton* sbtnRazv;
    QToolButton* sbtnRazvGo;
    QGroupBox* gbRefreshInt;
    QLineEdit* edRefreshInterval;
    QCheckBox* cbRefInt;
    QMenu* PMenu;  // the display's popup menu and its export item
    QAction* N1;
    QTimer TimerGetNewData;
    QTimer TimerRefPerSec;
    QTimer Timer;
    int TimerTag = 0;

protected:
    // The hand-off: a block is taken when the sweep asks for one; it is synchronised on its copy,
    // mapped and drawn.
    bool AcceptBlock() override { return sweep_.AcceptBlock(); }
    bool CopyBlock(const std::uint8_t* buffer) override;
    void ProcessData() override;
    void PaintBlock() override { OscillPaint(); }
    void BlockHandled() override;
    void RedrawCurves() override;
    void DeviceLostChanged(bool lost) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The save commands: the redraw before the picture, the sweep given back after the dialog, the
    // shown samples as numbers.
    void RedrawForExport() override;
    void AfterExport(bool saved) override;
    DataTable DisplayedData() override;
    PlotRect readingsPlot() const override { return geometry_.Plot(); }

private:
    void buildControls();
    void SetNewBufSize();
    void FrameResize();
    void GeometryJob();
    // After a sweep command: a resumed continuous sweep starts on a clean grid; the sweep
    // controls show the new sweep.
    void applySweep(osc::SweepCommand command);
    void applySweepControls();
    // How the traces are mapped now: channels on, sensitivities, shifts and the shown points.
    osc::TraceScales traceScales() const;
    // The measurements of the block shown: frequency, period; RMS, peak-to-peak; maximum, minimum; mean.
    int measurementChoice() const override;
    std::vector<std::string> measuredRows(TextColour channel) override;

    osc::SweepState sweep_;
    osc::BlockCopy BlockCopy;
    TraceSet traces_;
    osc::TriggerOffsets triggers_;
    osc::PlotGeometry geometry_;
    std::string SyncMode = "AB";
    bool ChannelAOn = true;
    bool ChannelBOn = false;
    double SensA = 1.0;
    double SensB = 1.0;
    double TimeBase = 1.0;
    double ShiftA = 0;
    double ShiftB = 0;
    double ShiftX = 0;
    double PrevPlotWidth = 0;
    double PrevPlotHeight = 0;
    int ScreenPoints = 2;
    int BlockFrames = 2 + osc::BlockLeadIn + osc::TriggerWindow;
    bool FormReady = false;
};

}  // namespace mirel
