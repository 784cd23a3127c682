#pragma once
// The spectrum analyser's window: capture of 16-bit blocks of FftLength frames, split into one
// array per channel. The transform and the drawing are the instrument's own (ProcessData, SPPaint).

#include "GraphicWindow.h"

#include <QTimer>
#include <vector>

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

    int FftLength = 32768;  // from the accuracy control's position at creation
    bool Live = true;       // new blocks are let in; a freeze click clears it

    const std::vector<std::int16_t>& samplesA() const { return SamplesA; }
    const std::vector<std::int16_t>& samplesB() const { return SamplesB; }
    QSlider* accuracyControl() const { return tbAccuracy; }

protected:
    bool AcceptBlock() override { return Running; }
    bool CopyBlock(const std::uint8_t* buffer) override;
    void ProcessData() override;  // the transform of SamplesA/SamplesB: built with the spectrum computation
    void PaintBlock() override { SPPaint(); }
    void ClearFon() override;
    void RedrawCurves() override { SPPaint(); }

private:
    void SPPaint();  // the spectrum screen
    void Timer1Timer();

    DrawingSurface* pbSP;
    QSlider* tbAccuracy;
    QTimer Timer1;
    int Timer1Tag = 0;
    bool FormReady = false;
    std::vector<std::int16_t> SamplesA;
    std::vector<std::int16_t> SamplesB;
};

}  // namespace mirel
