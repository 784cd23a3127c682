#pragma once
// The probability-density window: its controls, the hand-off of 8-bit blocks of
// SampleRate / RefreshRate frames, and the drawing of frame, grid, both curves and labels on its
// surface. The computation lives in the Qt-free parts of this folder (histograms, curves, texts).

#include "common/TraceSet.h"
#include "density/DensityLabels.h"
#include "density/DensityPoints.h"
#include "density/DensityScales.h"
#include "windows/GraphicWindow.h"

#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QRadioButton;
class QSlider;

namespace mirel {

class TFormPV : public GraphicWindow {
    Q_OBJECT

public:
    TFormPV(WaveInput& input, LauncherLink& launcher);

    bool Start() override;
    void Stop() override;
    void ClearDiagr() override;
    void Repaint() override { PVPaint(); }
    // The level under the cursor and the shown curves there.
    std::vector<ReadingLine> CursorLines() override;
    std::optional<MeasuredValues> measuredValues(TextColour channel) override;

    // Handlers.
    void tbrpsChange();
    void rbPVClick();
    void cb1kClick();
    void tbVP1Change(QSlider* sender);  // both scale track bars
    void pbPVMouseDown(Qt::MouseButton button, QPoint position);
    void FormPaint();
    void FrameResize();

    // Screen.
    void ClearFon() override;
    void PVPaint();
    void PaintBorders();
    void PaintVertLines();
    void PaintHorLinesPV();
    void PaintHorLinesNM();
    void XTextOut();
    void AYTextOut();
    void BYTextOut();

    int RefreshRate = pv::RefreshRateAtStart;  // blocks per second
    int FramesPerBlock = 0;
    bool Live = false;  // new blocks replace the picture; cleared by a freeze
    bool Normalised = true;
    bool ShowA = true;
    bool ShowB = false;
    double ScaleA = 10.0;  // full-height density of the density mode, 1/V
    double ScaleB = 10.0;

    // State, readable by tests.
    const std::vector<std::uint8_t>& blockCopy() const { return BlockCopy; }
    const pv::Histogram& histA() const { return HistA; }
    const pv::Histogram& histB() const { return HistB; }
    const TraceSet& points() const { return points_; }
    const pv::PlotGeometry& geometry() const { return geometry_; }
    const QImage& screenImage() const { return pbPV->image(); }
    PlotRect readingsPlot() const override { return geometry_.Plot(); }

    DrawingSurface* pbPV;
    QGroupBox* gbY;
    QLabel* Label8;
    QLabel* Label9;
    QLabel* Label10;
    QLabel* Label11;
    QCheckBox* cb1k;
    QCheckBox* cb2k;
    QSlider* tbVP1;
    QSlider* tbVP2;
    QLabel* lblVP1;
    QLabel* lblVP2;
    QGroupBox* gbGraphType;
    QRadioButton* rbPV;
    QRadioButton* rbNM;
    QGroupBox* gbrps;
    QSlider* tbrps;

protected:
    bool CopyBlock(const std::uint8_t* buffer) override;
    void ProcessData() override;
    void PaintBlock() override { PVPaint(); }
    void RedrawCurves() override;
    // The save commands: the redraw before the picture, the picture live again after the dialog,
    // the shown curves as numbers.
    void RedrawForExport() override;
    void AfterExport(bool saved) override;
    DataTable DisplayedData() override;

private:
    void buildControls();
    void SetNewBufSize();
    void UpdateGeometry();
    // The measurements of the block shown: mean and standard deviation; the clipped share.
    int measurementChoice() const override;
    std::vector<std::string> measuredRows(TextColour channel) override;

    pv::PlotGeometry geometry_;
    std::vector<std::uint8_t> BlockCopy;  // allocated at each start
    int blockBytes_ = 0;                  // bytes of BlockCopy that hold a block (0 before the first)
    pv::Histogram HistA{};
    pv::Histogram HistB{};
    TraceSet points_;  // PointsA, PointsB and the points last drawn
};

}  // namespace mirel
