#pragma once
// The error-statistics window: capture of 8-bit blocks of 0.2 s, copied as signed samples. The
// buffer goes back to the engine before the block is processed, so the run loses no time.

#include "InstrumentWindow.h"

#include <vector>

class QProgressBar;

namespace mirel {

class TFormER : public InstrumentWindow {
    Q_OBJECT

public:
    TFormER(WaveInput& input, LauncherLink& launcher);

    bool Start() override;
    void Stop() override;

    const std::vector<std::int8_t>& blockCopy() const { return BlockCopy; }

protected:
    // The hand-off copies the block, gives the buffer back at once, then counts.
    bool AcceptBlock() override;
    bool CopyBlock(const std::uint8_t* buffer) override;
    void ProcessData() override;  // counting pulses: built with the timed measurement

private:

    QProgressBar* pbTime;
    std::vector<std::int8_t> BlockCopy;
};

}  // namespace mirel
