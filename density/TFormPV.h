#pragma once
// The probability-density window: capture of 8-bit blocks of SampleRate / RefreshRate frames,
// copied whole. Counting the levels and the drawing are the instrument's own (ProcessData, PVPaint).

#include "DrawingSurface.h"
#include "InstrumentWindow.h"

#include <vector>

namespace mirel {

class TFormPV : public InstrumentWindow {
    Q_OBJECT

public:
    TFormPV(WaveInput& input, LauncherLink& launcher);

    bool Start() override;
    void Stop() override;
    void ChangeColor() override;
    void ClearDiagr() override;
    void Repaint() override { PVPaint(); }

    int RefreshRate = 3;  // blocks per second
    bool Live = true;

    const std::vector<std::uint8_t>& blockCopy() const { return BlockCopy; }

protected:
    void OnWimData(const WimDataEvent& message) override;
    void FormShow() override;
    void FormCloseQuery() override;

private:
    void ProcessData();  // the level histogram: built with the density computation
    void PVPaint();      // the density screen
    void ClearFon();

    DrawingSurface* pbPV;
    std::vector<std::uint8_t> BlockCopy;
};

}  // namespace mirel
