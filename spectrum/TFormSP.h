#pragma once
// The spectrum analyser's window: its controls (scales, channels, band, spectrum kind, accuracy),
// the block hand-off into the transform, the freeze gestures, and the drawing of frame, grid,
// curves and labels on its surface. The computation lives in the Qt-free parts of this folder.

#include "spectrum/FrequencyAxis.h"
#include "spectrum/SpectrogramLines.h"
#include "spectrum/SpectrogramRaster.h"
#include "spectrum/SpectrogramScales.h"
#include "spectrum/SpectrumBins.h"
#include "spectrum/SpectrumLabels.h"
#include "spectrum/SpectrumScales.h"
#include "spectrum/SpectrumView.h"
#include "windows/GraphicWindow.h"

#include <QTimer>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QRadioButton;
class QSlider;

namespace mirel {

class TFormSP : public GraphicWindow {
    Q_OBJECT

public:
    TFormSP(WaveInput& input, LauncherLink& launcher);

    bool Start() override;
    void Stop() override;
    void ClearDiagr() override;
    void Repaint() override { SPPaint(); }

    // Handlers.
    void tbM1Change();
    void tbFv1Change(QSlider* sender);
    void rbSpektrAmpClick();
    void cb1kClick();
    void pbSPMouseDown(Qt::MouseButton button, QPoint position);
    void Timer1Timer();
    void tbAccuracyChange();
    void FrameResize();
    void FormPaint();
    // The popup menu's view settings (ViewMenuItems): the choice `word` of setting `name`, as a
    // click on its item makes it; and «Сбросить пики».
    void setViewChoice(const std::string& name, const std::string& word);
    void resetPeaksClick();

    // Screen.
    void ClearFon() override;
    void SPPaint();
    void PaintBorders();
    void PaintHorLines(Rgb colour);
    void PaintVertLines(Rgb colour);
    void PaintFreqLabels();
    void PaintLevelLabels();

    int FftLength = spectrum::TransformSizeAt(spectrum::AccuracyPositionAtStart).FftLength;
    bool Live = true;  // new blocks are processed; a freeze click clears it

    // State, readable by tests.
    bool amplitudeMode() const { return AmplitudeMode; }
    double fullScaleA() const { return FullScaleA; }
    double fullScaleB() const { return FullScaleB; }
    int lowFrequency() const { return LowFrequency; }
    int highFrequency() const { return HighFrequency; }
    const spectrum::PlotGeometry& geometry() const { return geometry_; }
    const spectrum::ViewSettings& view() const { return View; }
    const spectrum::SpectrumPass& pass() const { return pass_; }
    const spectrum::SpectrumCurve& curveA() const { return CurveA; }
    const spectrum::SpectrumCurve& curveB() const { return CurveB; }
    const spectrum::SpectrumCurve& peakCurveA() const { return PeakA; }
    const std::vector<std::int16_t>& samplesA() const { return SamplesA; }
    const std::vector<std::int16_t>& samplesB() const { return SamplesB; }
    const QImage& screenImage() const { return pbSP->image(); }
    QSlider* accuracyControl() const { return tbAccuracy; }
    // The spectrogram's lines and its stripes' pictures (channel 0 is A).
    const spectrum::SpectrogramLines& spectrogramLines() const { return lines_; }
    const spectrum::SpectrogramRaster& spectrogramPicture(int channel) const { return rasters_[channel & 1]; }
    const spectrum::SpectrogramLayout& spectrogramLayout() const { return layout_; }

    // The frequency of the bin under the cursor and the shown channels' levels in it.
    std::vector<ReadingLine> CursorLines() override;
    std::optional<MeasuredValues> measuredValues(TextColour channel) override;
    PlotRect readingsPlot() const override { return geometry_.Plot(); }

    DrawingSurface* pbSP;
    QWidget* pnlControl;
    QGroupBox* gbY;
    QCheckBox* cb1k;
    QCheckBox* cb2k;
    QSlider* tbM1;
    QSlider* tbM2;
    QLabel* lblM1;
    QLabel* lblM2;
    QGroupBox* gbX;
    QSlider* tbFn1;
    QSlider* tbFv1;
    QLabel* lblFn1;
    QLabel* lblFv1;
    QGroupBox* gbSpektr;
    QRadioButton* rbSpektrAmp;
    QRadioButton* rbSpektrMosch;
    QGroupBox* GroupBox2;
    QSlider* tbAccuracy;
    QTimer Timer1;
    int Timer1Tag = 0;

protected:
    bool AcceptBlock() override { return Running; }
    bool CopyBlock(const std::uint8_t* buffer) override;
    void ProcessData() override;
    void PaintBlock() override;
    void RedrawCurves() override { SPPaint(); }
    void FormShow() override;
    // The save commands: the redraw before the picture, the display live again after the dialog,
    // the shown bins as numbers.
    void RedrawForExport() override;
    void AfterExport(bool saved) override;
    DataTable DisplayedData() override;
    std::string DisplayedCsv() override;
    bool cursorRowMatters() const override { return View.Spectrogram; }
    void keyPressEvent(QKeyEvent* e) override;

private:
    void buildControls();
    void buildViewMenu();
    // The menu's items checked as View holds them.
    void showViewChoices();
    // Band track-bar ranges for the sample rate (the full band of that rate); kept while the rate
    // stays the same, so a band chosen by the user survives switching instruments.
    void setBandRanges();
    // The whole window drawn anew (FormPaint) once the handler that asks for it has returned, so
    // that a pass never re-enters itself and several requests make one repaint.
    void repaintWindow();
    spectrum::PassSettings passSettings() const;

    // The spectrogram view (TFormSPGram.cpp). Its capture delivers a line's step per buffer; every
    // buffer feeds the lines, also while the display is frozen, so that they stay contiguous.
    int captureFrames() const;
    spectrum::SpectrogramSettings spectrogramSettings() const;
    // Lines, stripes and pictures made to fit the settings and the plot; a picture emptied by a
    // change is drawn again from the lines kept.
    void syncSpectrogram(bool redraw);
    // The buffer's samples into the lines; returns whether new ones are to be shown.
    bool feedSpectrogram();
    void paintSpectrogram();
    void paintSpectrogramScales();
    void paintSpectrogramGrid(Rgb colour);
    std::vector<ReadingLine> spectrogramCursorLines();
    spectrum::SpectrogramLines lines_;
    spectrum::SpectrogramRaster rasters_[2];
    spectrum::SpectrogramLayout layout_;
    std::vector<std::uint32_t> barPixels_;
    int linesUnshown_ = 0;        // lines made since the pictures were last drawn
    bool picturesStale_ = false;  // lines came while the display was frozen
    // The frequency axis of the band on the plot, linear or logarithmic as the view has it.
    spectrum::FrequencyScale frequencyScale() const;
    // The measurements of the block shown: the peak's frequency and level; THD and SNR.
    int measurementChoice() const override;
    std::vector<std::string> measuredRows(TextColour channel) override;

    spectrum::PlotGeometry geometry_;
    spectrum::SpectrumPass pass_;
    spectrum::SpectrumCurve CurveA, CurveB, PrevCurveA, PrevCurveB;
    // The held peaks' curves, drawn under the levels' in a paler shade while peak hold is on.
    spectrum::SpectrumCurve PeakA, PeakB, PrevPeakA, PrevPeakB;
    bool newBlock_ = false;  // a block came since the last pass
    spectrum::RealFft readingsFft_;
    // The rectangular transform of channel A's (`a`) or B's block shown, for the readings.
    std::span<const std::complex<double>> readingBins(bool a);
    std::vector<std::int16_t> SamplesA, SamplesB;
    std::vector<int> freqLines_;  // x of the vertical grid lines of the band, axis and plot below
    struct FreqLinesKey {
        int Low = -1, High = -1, Width = -1, FftLength = 0, Rate = 0;
        bool Logarithmic = false;
        bool operator==(const FreqLinesKey&) const = default;
    } freqLinesKey_;
    spectrum::ScalePositions savedScalePos_;
    spectrum::ViewSettings View;
    QAction* resetPeaksAction_ = nullptr;
    bool AmplitudeMode = true;
    double FullScaleA = 1, FullScaleB = 1;
    int LowFrequency = 0;
    int HighFrequency = 50000;
    int AccuracyFactor = 2;
    int bandRate_ = 0;  // the rate the band ranges were set for
    bool ShowA = true, ShowB = false;
    bool Created = false;
    bool NeedClear = false;
    bool repaintPending_ = false;
};

}  // namespace mirel
