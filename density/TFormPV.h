#pragma once
// The probability-density window: capture of 8-bit blocks of SampleRate / RefreshRate frames,
// copied whole. Counting the levels and the drawing are the instrument's own (ProcessData, PVPaint).

#include "GraphicWindow.h"

#include <vector>

namespace mirel {

class TFormPV : public GraphicWindow {
    Q_OBJECT

public:
    TFormPV(WaveInput& input, LauncherLink& launcher);

    bool Start() override;
    void Stop() override;
    void ClearDiagr() override;
    void Repaint() override { PVPaint(); }

    int RefreshRate = 3;  // blocks per second
    bool Live = true;

    const std::vector<std::uint8_t>& blockCopy() const { return BlockCopy; }

protected:
    bool CopyBlock(const std::uint8_t* buffer) override;
    void ProcessData() override;  // the level histogram: built with the density computation
    void PaintBlock() override { PVPaint(); }
    void ClearFon() override;
    void RedrawCurves() override;

private:
    void PVPaint();  // the density screen

    DrawingSurface* pbPV;
    std::vector<std::uint8_t> BlockCopy;
};

}  // namespace mirel
