#pragma once
// The transfer function's window: B measured against A (A goes into a device, B comes out of it).
// Its controls, the hand-off of each block into the analyser and the drawing of both plots; the
// computation and the display's rules live in the Qt-free parts of this folder.

#include "transfer/TransferAnalyser.h"
#include "transfer/TransferDisplay.h"
#include "windows/GraphicWindow.h"

#include <cstdint>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace mirel {

class TFormTF : public GraphicWindow {
    Q_OBJECT

public:
    TFormTF(WaveInput& input, LauncherLink& launcher);

    bool Start() override;
    void Stop() override;
    void ClearDiagr() override;
    void Repaint() override { TFPaint(); }

    // Handlers.
    void cbNChange();       // a new transform length: the capture starts again with its block
    void settingsChange();  // window, averaging, smoothing, compensation
    void btnResetClick();
    // A typed field left (or Enter): taken when it makes a valid range, else put back and the reason
    // shown beside it.
    void edExit(QLineEdit* sender);
    void cbBlankingChange();
    // Finds the delay of B against A in the kept frames and shows it.
    void btnDelayClick();
    // The right button freezes the display and opens its popup menu; another freezes or resumes it.
    void pbTFMouseDown(Qt::MouseButton button, QPoint position);
    void FrameResize();

    // Screen.
    void ClearFon() override;
    void TFPaint();

    bool Live = true;  // new blocks are taken; a freeze click clears it

    // State, readable by tests and the command line.
    transfer::TransferAnalyser& analyser() { return analyser_; }
    const transfer::TransferAnalyser& analyser() const { return analyser_; }
    int ResultCount() const { return analyser_.Results(); }
    const transfer::TransferLayout& layout() const { return layout_; }
    const transfer::DisplayRange& range() const { return range_; }
    const transfer::Trace& trace(transfer::TraceKind kind) const { return traces_[static_cast<int>(kind)]; }
    const QImage& screenImage() const { return pbTF->image(); }
    // Why the last typed value was refused; empty after one that was taken.
    const QString& fieldFault() const { return fieldFault_; }

    // The frequency, magnitude, phase and coherence of the bin under the cursor.
    std::vector<ReadingLine> CursorLines() override;
    PlotRect readingsPlot() const override { return layout_.Both(); }

    DrawingSurface* pbTF;
    QWidget* pnlControl;
    QGroupBox* gbAnalysis;
    QComboBox* cbN;
    QComboBox* cbWindow;
    QComboBox* cbAverage;
    QPushButton* btnReset;
    QComboBox* cbSmoothing;
    QGroupBox* gbScales;
    QLineEdit* edFLow;
    QLineEdit* edFHigh;
    QLineEdit* edDbTop;
    QLineEdit* edDbBottom;
    QLineEdit* edCoherence;
    QComboBox* cbBlanking;
    QGroupBox* gbDelay;
    QPushButton* btnDelay;
    QLabel* lblDelay;
    QCheckBox* chbCompensate;

protected:
    bool AcceptBlock() override { return Running; }
    bool CopyBlock(const std::uint8_t* buffer) override;
    void ProcessData() override;
    // A block that completed no result leaves the display as it is.
    void PaintBlock() override;
    void RedrawCurves() override { TFPaint(); }
    void FormShow() override;
    // The save commands: the redraw before the picture, the display live again after the dialog,
    // the shown bins as numbers.
    void RedrawForExport() override;
    void AfterExport(bool saved) override;
    DataTable DisplayedData() override;
    std::string DisplayedCsv() override;
    std::vector<std::string> measuredRows(TextColour channel) override;

private:
    void buildControls();
    // The analyser's settings as the panel shows them.
    transfer::TransferSettings panelSettings() const;
    // The display range's fields as range_ holds them.
    void showRange();
    // The delay label and the compensation box as the analyser's delay stands.
    void showDelay();
    void PaintBorders();
    void PaintGrid();
    void PaintLabels();
    void drawTraces(bool erase);

    transfer::TransferAnalyser analyser_;
    transfer::TransferLayout layout_;
    transfer::DisplayRange range_;
    transfer::Trace traces_[3];  // by TraceKind: as last built, and drawn while drawn_
    transfer::BinColumns columns_;
    // The grid of the plots as ClearFon laid it out: x of the frequency lines, y of the dB levels
    // inside the magnitude plot.
    std::vector<int> freqLines_, dbRows_;
    std::vector<std::int16_t> block_;
    QString fieldFault_;
    bool drawn_ = false;
    bool newResult_ = false;    // the block handed off completed a result
    bool paused_ = false;       // blocks were left out while frozen
    bool delaySought_ = false;  // a search ran since the last reset
    bool Created = false;
};

}  // namespace mirel
