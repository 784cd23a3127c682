#pragma once
// The oscilloscope's sweep: which arriving blocks are taken, the continuous and the waiting
// (single-shot) sweep, and the mouse gestures on the screen. The window owns one instance, applies
// `Controls()` to its sweep buttons after each command and does the drawing side itself (erasing
// the traces when the continuous sweep resumes).

#include <string>

namespace mirel::osc {

enum class MouseButton { Left, Right, Middle };

// What a sweep command did.
enum class SweepCommand { Go, Pause };

// How the sweep controls look in the current sweep.
struct SweepControls {
    int RazvWidth;            // `sbtnRazv` width: 149 continuous, 77 waiting (room for the go button)
    std::string RazvCaption;  // `sbtnRazv`
    std::string ModeLabel;    // `Label8`
    bool GoVisible;           // `sbtnRazvGo` shown
    std::string GoCaption;    // `sbtnRazvGo`
    bool TimeBaseEnabled;     // `udX`: the time base cannot change under a frozen block
};

class SweepState {
public:
    // Blocks taken since the last refresh readout is reset to this on pausing, so the first readout
    // in the waiting sweep reads «0,0» ms.
    static constexpr int PausedRefreshCount = 10000000;

    // Capture opened: a block is requested at once and the sweep goes continuous (`NRGo`).
    void OnStart();
    // Capture closed: no block is requested any more.
    void OnStop();

    // Continuous sweep: every requested block is taken.
    void NRGo();
    // Waiting sweep: no block is taken until `sbtnRazvGoClick`; the picture stays.
    void NRPause();
    // The sweep-mode button toggles between the two.
    SweepCommand sbtnRazvClick();
    // Take exactly one more block in the waiting sweep. Ignored in the continuous sweep, where the
    // button is hidden (arming a single shot there would stop the continuous sweep after one block).
    void sbtnRazvGoClick();
    // Right button: freeze (before the popup menu opens); any other button: as the sweep-mode button.
    SweepCommand pbOSMouseDown(MouseButton button);

    // The data-request timer asks for a block.
    void TimerGetNewDataTimer() { takeNext_ = true; }

    // A filled buffer arrived: true when it is to be taken (requested, armed, previous one drawn).
    // Taking it counts it, marks the picture as not drawn and ends a single shot. The window then
    // copies, synchronises, maps and draws the block, calls PaintFinished() and BlockHandled().
    bool AcceptBlock();
    // The drawing finished (`OscillPaint`).
    void PaintFinished() { paintDone_ = true; }
    // After a taken block: without "Max" the next block waits for the next data request.
    void BlockHandled(bool maxRefresh);

    // Readout: blocks taken since the last call, and the count starts again.
    int TakeRefreshCount();

    bool Continuous() const { return continuous_; }
    bool SweepArmed() const { return sweepArmed_; }
    bool SingleShot() const { return singleShot_; }
    bool TakeNext() const { return takeNext_; }
    bool PaintDone() const { return paintDone_; }
    int RefreshCount() const { return refreshCount_; }

    SweepControls Controls() const;

private:
    bool continuous_ = true;
    bool sweepArmed_ = true;
    bool singleShot_ = false;
    bool takeNext_ = false;
    bool paintDone_ = true;
    int refreshCount_ = 0;
};

}  // namespace mirel::osc
