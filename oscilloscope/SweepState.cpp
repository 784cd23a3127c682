#include "oscilloscope/SweepState.h"

namespace mirel::osc {

void SweepState::OnStart()
{
    takeNext_ = true;
    NRGo();
}

void SweepState::OnStop()
{
    takeNext_ = false;
}

void SweepState::NRGo()
{
    singleShot_ = false;
    sweepArmed_ = true;
    continuous_ = true;
}

void SweepState::NRPause()
{
    refreshCount_ = PausedRefreshCount;
    sweepArmed_ = false;
    singleShot_ = false;
    continuous_ = false;
}

SweepCommand SweepState::sbtnRazvClick()
{
    if (continuous_) {
        NRPause();
        return SweepCommand::Pause;
    }
    NRGo();
    return SweepCommand::Go;
}

void SweepState::sbtnRazvGoClick()
{
    if (continuous_)
        return;
    sweepArmed_ = true;
    singleShot_ = true;
}

SweepCommand SweepState::pbOSMouseDown(MouseButton button)
{
    if (button == MouseButton::Right) {
        NRPause();
        return SweepCommand::Pause;
    }
    return sbtnRazvClick();
}

bool SweepState::AcceptBlock()
{
    if (!takeNext_ || !sweepArmed_ || !paintDone_)
        return false;
    if (singleShot_) {
        sweepArmed_ = false;
        singleShot_ = false;
    }
    ++refreshCount_;
    paintDone_ = false;
    return true;
}

void SweepState::BlockHandled(bool maxRefresh)
{
    if (!maxRefresh)
        takeNext_ = false;
}

int SweepState::TakeRefreshCount()
{
    const int n = refreshCount_;
    refreshCount_ = 0;
    return n;
}

SweepControls SweepState::Controls() const
{
    if (continuous_)
        return {149, "Перейти к ждущей", "Развертка: непрерывная", false, "", true};
    return {77, " Перейти к \r\n непрерывной ", "Развертка: ждущая", true, "  Снять \r\n сигнал", false};
}

}  // namespace mirel::osc
