#include "oscilloscope/SweepState.h"

#include <gtest/gtest.h>

#include <string>

namespace mirel::osc {
namespace {

// Drives a SweepState the way the window does and records which arriving blocks were taken.
// Script letters: S start, X stop, t data-request tick, b a block arrives (taken blocks are drawn
// at once), h a block arrives while the previous one is still being drawn, R/L/M right/left/middle
// mouse button on the screen, P sweep-mode button, G the take-one-sweep button.
// The result has one character per arriving block: '+' taken, '-' handed straight back.
std::string RunScript(SweepState& s, const std::string& script, bool maxRefresh = false)
{
    std::string taken;
    bool drawing = false;
    for (char c : script) {
        switch (c) {
        case 'S': s.OnStart(); break;
        case 'X': s.OnStop(); break;
        case 't': s.TimerGetNewDataTimer(); break;
        case 'R': s.pbOSMouseDown(MouseButton::Right); break;
        case 'L': s.pbOSMouseDown(MouseButton::Left); break;
        case 'M': s.pbOSMouseDown(MouseButton::Middle); break;
        case 'P': s.sbtnRazvClick(); break;
        case 'G': s.sbtnRazvGoClick(); break;
        case 'b':
        case 'h': {
            if (drawing && c == 'b') {  // the earlier picture is finished before this block
                s.PaintFinished();
                drawing = false;
            }
            const bool ok = s.AcceptBlock();
            taken += ok ? '+' : '-';
            if (ok) {
                s.BlockHandled(maxRefresh);
                drawing = true;
            }
            break;
        }
        default: ADD_FAILURE() << "unknown script letter " << c;
        }
    }
    return taken;
}

TEST(SweepState, AcceptanceFollowsRequestsModesAndDrawing)
{
    struct Case {
        const char* what;
        const char* script;
        bool maxRefresh;
        const char* taken;
    } cases[] = {
        {"nothing is taken before the capture starts", "bb", false, "--"},
        {"start requests the first block at once", "Sbb", false, "+-"},
        {"one block per data request without Max", "Sbbtbbbtb", false, "+-+--+"},
        {"every drawn block with Max", "Sbbbb", true, "++++"},
        {"with Max a block waits for the previous drawing", "Sbhhb", true, "+--+"},
        {"without Max the drawing must finish as well", "Sbthtb", false, "+-+"},
        {"right click freezes the picture", "SbtRtbtb", false, "+--"},
        {"one go click shows exactly one new picture", "SbRtbGbtbtbtb", false, "+-+---"},
        {"go click waits for the data request", "SbRGbbtbtb", false, "+--+-"},
        {"each go click one more picture", "SRtGbtbGtbtb", false, "+-+-"},
        {"go click in the waiting sweep with Max takes one block", "SRGbbbb", true, "+---"},
        {"left click toggles to waiting and back", "SbLtbLtb", false, "+-+"},
        {"middle button acts like the left one", "SMtbMtb", false, "-+"},
        {"sweep-mode button toggles too", "SPtbPtb", false, "-+"},
        {"right click in the waiting sweep stays waiting", "SRRtbLtb", false, "-+"},
        {"right click disarms a pending go", "SRGRtb", false, "-"},
        {"leaving an armed waiting sweep resumes continuously", "SRGPtbtbtb", false, "+++"},
        {"go click in the continuous sweep changes nothing", "SGbtbtb", false, "+++"},
        {"stop ends the requests, even with Max", "SbXbb", true, "+--"},
        {"restart returns to the continuous sweep", "SRbXSbtb", false, "-++"},
    };
    for (const auto& c : cases) {
        SweepState s;
        EXPECT_EQ(RunScript(s, c.script, c.maxRefresh), c.taken) << c.what << " (" << c.script << ")";
    }
}

TEST(SweepState, FlagsAtCreationAndAfterEachCommand)
{
    SweepState s;
    EXPECT_TRUE(s.Continuous());
    EXPECT_TRUE(s.SweepArmed());
    EXPECT_FALSE(s.SingleShot());
    EXPECT_FALSE(s.TakeNext());
    EXPECT_TRUE(s.PaintDone());
    EXPECT_EQ(s.RefreshCount(), 0);

    s.OnStart();
    EXPECT_TRUE(s.TakeNext());
    EXPECT_EQ(s.pbOSMouseDown(MouseButton::Right), SweepCommand::Pause);
    EXPECT_FALSE(s.Continuous());
    EXPECT_FALSE(s.SweepArmed());
    s.sbtnRazvGoClick();
    EXPECT_TRUE(s.SweepArmed());
    EXPECT_TRUE(s.SingleShot());
    ASSERT_TRUE(s.AcceptBlock());
    EXPECT_FALSE(s.SweepArmed()) << "a single shot disarms as it is taken";
    EXPECT_FALSE(s.SingleShot());
    EXPECT_FALSE(s.PaintDone());
    s.PaintFinished();
    EXPECT_TRUE(s.PaintDone());
    EXPECT_EQ(s.pbOSMouseDown(MouseButton::Left), SweepCommand::Go);
    EXPECT_TRUE(s.Continuous());
    EXPECT_EQ(s.sbtnRazvClick(), SweepCommand::Pause);
    EXPECT_EQ(s.sbtnRazvClick(), SweepCommand::Go);
    s.OnStop();
    EXPECT_FALSE(s.TakeNext());
}

TEST(SweepState, RefreshCountCountsTakenBlocksAndMarksAPause)
{
    SweepState s;
    EXPECT_EQ(RunScript(s, "Sbtbtbb", true), "++++");
    EXPECT_EQ(s.TakeRefreshCount(), 4);
    EXPECT_EQ(s.RefreshCount(), 0);
    s.NRPause();
    // The first readout in the waiting sweep shows «0,0» ms.
    EXPECT_EQ(s.TakeRefreshCount(), SweepState::PausedRefreshCount);
    EXPECT_EQ(SweepState::PausedRefreshCount, 10000000);
    // A single sweep taken later is one block in a second.
    s.PaintFinished();
    s.sbtnRazvGoClick();
    s.TimerGetNewDataTimer();
    ASSERT_TRUE(s.AcceptBlock());
    EXPECT_EQ(s.TakeRefreshCount(), 1);
}

TEST(SweepState, ControlsOfBothSweeps)
{
    SweepState s;
    auto c = s.Controls();
    EXPECT_EQ(c.RazvWidth, 149);
    EXPECT_EQ(c.RazvCaption, "Перейти к ждущей");
    EXPECT_EQ(c.ModeLabel, "Развертка: непрерывная");
    EXPECT_FALSE(c.GoVisible);
    EXPECT_TRUE(c.TimeBaseEnabled);

    s.NRPause();
    c = s.Controls();
    EXPECT_EQ(c.RazvWidth, 77);
    EXPECT_EQ(c.RazvCaption, " Перейти к \r\n непрерывной ");
    EXPECT_EQ(c.ModeLabel, "Развертка: ждущая");
    EXPECT_TRUE(c.GoVisible);
    EXPECT_EQ(c.GoCaption, "  Снять \r\n сигнал");
    EXPECT_FALSE(c.TimeBaseEnabled) << "the time base cannot change under a frozen block";

    s.sbtnRazvGoClick();
    EXPECT_FALSE(s.Controls().TimeBaseEnabled);
    s.NRGo();
    EXPECT_EQ(s.Controls().ModeLabel, "Развертка: непрерывная");
}

}  // namespace
}  // namespace mirel::osc
