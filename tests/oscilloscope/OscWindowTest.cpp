// The oscilloscope window fed through the scripted input: blocks reach the screen in the colours
// of the scheme, old traces vanish, the sweep and the refresh controls act on what is shown.
#include "OscWindowFixture.h"
#include "display/UpDown.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

using namespace mirel;

namespace {

using OscWindowTest = test::OscWindowFixture;

TEST_F(OscWindowTest, ABlockIsDrawnInTheColoursOfEitherScheme)
{
    feed(sine);
    EXPECT_EQ(form.BlockCounter, 1);
    EXPECT_GT(plotPixels(WhiteScheme.ChannelA).size(), 300u);
    EXPECT_TRUE(plotPixels(WhiteScheme.ChannelB).empty()) << "channel B is off at start";

    form.ChangeColor();
    EXPECT_EQ(form.currentScheme(), BlackScheme);
    EXPECT_GT(plotPixels(BlackScheme.ChannelA).size(), 300u);
    EXPECT_TRUE(plotPixels(WhiteScheme.ChannelA).empty());
    EXPECT_EQ(form.screenImage().pixel(5, 5) & 0xFFFFFF, BlackScheme.Background);
    form.ChangeColor();
    EXPECT_EQ(form.currentScheme(), WhiteScheme);
}

TEST_F(OscWindowTest, ANewBlockLeavesNothingOfTheOldTrace)
{
    feed(sine);
    show(silence);
    const auto pixels = plotPixels(WhiteScheme.ChannelA);
    ASSERT_FALSE(pixels.empty());
    for (const QPoint& p : pixels)
        ASSERT_EQ(p.y(), middle()) << "a pixel of the old sine survived at " << p.x();
}

TEST_F(OscWindowTest, WithoutADataRequestNoBlockIsTaken)
{
    form.TimerGetNewData.stop();  // requests come from the test alone, however slow the machine
    feed(sine);
    feed(silence);  // no timer tick in between
    EXPECT_EQ(form.BlockCounter, 1);
    form.cbRefInt->click();  // "Max": every block is taken
    form.TimerGetNewData.stop();
    feed(silence);
    EXPECT_EQ(form.BlockCounter, 1) << "Max does not take a block that nobody asked for";
    form.TimerGetNewDataTimer();
    feed(silence);
    feed(silence);
    feed(silence);
    EXPECT_EQ(form.BlockCounter, 4);
}

TEST_F(OscWindowTest, SwitchingChannelBOffErasesItAtOnce)
{
    form.cb2k->setChecked(true);
    feed(sine, [](int frame) { return static_cast<std::int16_t>(frame % 96 < 48 ? 8000 : -8000); });
    EXPECT_FALSE(plotPixels(WhiteScheme.ChannelB).empty());
    form.cb2k->setChecked(false);
    EXPECT_TRUE(plotPixels(WhiteScheme.ChannelB).empty());
    EXPECT_FALSE(plotPixels(WhiteScheme.ChannelA).empty());
}

TEST_F(OscWindowTest, TheWaitingSweepShowsExactlyOneNewPicturePerRequest)
{
    form.cbRefInt->click();
    form.TimerGetNewDataTimer();
    feed(sine);
    ASSERT_EQ(form.BlockCounter, 1);

    form.pbOSMouseDown(Qt::RightButton, QPoint(100, 100));
    EXPECT_EQ(form.Label8->text(), "Развертка: ждущая");
    EXPECT_TRUE(form.sbtnRazvGo->isVisibleTo(&form));
    EXPECT_FALSE(form.udX->isEnabled());
    const QImage frozen = form.screenImage().copy();
    feed(silence);
    feed(silence);
    EXPECT_EQ(form.BlockCounter, 1);
    EXPECT_EQ(form.screenImage(), frozen) << "the frozen picture stays";

    form.sbtnRazvGo->click();
    feed(silence);
    feed(sine);
    EXPECT_EQ(form.BlockCounter, 2) << "one request, one picture";

    form.pbOSMouseDown(Qt::LeftButton, QPoint(100, 100));
    EXPECT_EQ(form.Label8->text(), "Развертка: непрерывная");
    EXPECT_FALSE(form.sbtnRazvGo->isVisibleTo(&form));
    EXPECT_TRUE(form.udX->isEnabled());
    feed(sine);
    EXPECT_EQ(form.BlockCounter, 3);
    form.pbOSMouseDown(Qt::LeftButton, QPoint(100, 100));
    EXPECT_EQ(form.Label8->text(), "Развертка: ждущая");
}

TEST_F(OscWindowTest, TheRefreshReadoutShowsTheMeasuredPeriod)
{
    form.cbRefInt->click();
    form.TimerGetNewDataTimer();
    for (int i = 0; i < 24; ++i)
        feed(silence);
    form.TimerRefPerSecTimer();
    EXPECT_EQ(form.gbRefreshInt->title(), "Обновление (41,6мс)");
    form.TimerRefPerSecTimer();  // nothing taken since: the caption keeps its text
    EXPECT_EQ(form.gbRefreshInt->title(), "Обновление (41,6мс)");
    form.NRPause();
    form.TimerRefPerSecTimer();
    EXPECT_EQ(form.gbRefreshInt->title(), "Обновление (0,0мс)");
}

TEST_F(OscWindowTest, ALostDeviceIsShownAndReopenedUntilItDeliversAgain)
{
    form.cbRefInt->click();
    form.TimerGetNewDataTimer();
    for (int i = 0; i < 3; ++i)
        feed(silence);
    form.TimerRefPerSecTimer();
    ASSERT_NE(form.gbRefreshInt->title(), "Обновление (мс)");
    // The band of the plot where the message goes, with the grid and the flat trace in it.
    const auto& g = form.geometry();
    const QRect band(static_cast<int>(g.PlotLeft), static_cast<int>(g.PlotTop + g.PlotHalfHeight / 2) - 10,
                     static_cast<int>(g.PlotWidth), 20);
    const QImage before = form.screenImage().copy(band);
    auto opens = [this] { return static_cast<int>(std::count(input.calls.begin(), input.calls.end(), "open")); };
    const int opened = opens();

    input.streamFailed = true;
    QElapsedTimer clock;
    clock.start();
    while (!form.deviceLost() && clock.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    ASSERT_TRUE(form.deviceLost());
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(form.gbRefreshInt->title(), "Обновление (мс)") << "no rate is claimed without blocks";
    form.TimerRefPerSecTimer();
    EXPECT_EQ(form.gbRefreshInt->title(), "Обновление (мс)");
    const QImage lost = form.screenImage().copy(band);
    int text = 0;
    for (int y = 0; y < lost.height(); ++y)
        for (int x = 0; x < lost.width(); ++x)
            text += (lost.pixel(x, y) & 0xFFFFFF) == WhiteScheme.Frame && lost.pixel(x, y) != before.pixel(x, y);
    EXPECT_GT(text, 100) << "the message is written on the display";

    // The window tries the device again while it is shown; once a block comes the message goes.
    while (opens() == opened && clock.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    EXPECT_GT(opens(), opened);
    input.streamFailed = false;
    const int blocks = form.BlockCounter;
    form.TimerGetNewDataTimer();
    feed(silence);
    EXPECT_FALSE(form.deviceLost());
    EXPECT_EQ(form.BlockCounter, blocks + 1);
    EXPECT_EQ(form.screenImage().copy(band), before);
}

TEST_F(OscWindowTest, AHiddenWindowLeavesItsLostDeviceAloneUntilShown)
{
    auto opens = [this] { return std::count(input.calls.begin(), input.calls.end(), "open"); };
    // Runs the events for `ms`, or until `done`.
    auto runFor = [](int ms, const std::function<bool()>& done) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms && !done())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    };
    ASSERT_TRUE(loseDevice(form));
    form.hide();
    const auto opened = opens();
    runFor(InstrumentWindow::ReopenIntervalMs * 3 / 2, [] { return false; });
    EXPECT_EQ(opens(), opened) << "a hidden window opened the device";
    form.show();
    runFor(InstrumentWindow::ReopenIntervalMs * 10, [&] { return opens() > opened; });
    EXPECT_GT(opens(), opened);
}

TEST_F(OscWindowTest, ATypedIntervalIsAppliedAfterTheWait)
{
    EXPECT_EQ(form.dataRequestPeriod(), 50);
    struct Case {
        const char* typed;
        const char* shown;
        int period;
    };
    for (const Case& c : {Case{"0050", "50", 41}, Case{"", "50", 41}, Case{"abc", "50", 41}, Case{"100", "100", 83},
                          Case{"1", "1", 1}}) {
        form.edRefreshInterval->setText(QString::fromUtf8(c.typed));
        EXPECT_TRUE(form.Timer.isActive());
        EXPECT_EQ(form.Timer.interval(), 1500);
        form.TimerTimer();
        EXPECT_EQ(form.edRefreshInterval->text(), QString::fromUtf8(c.shown)) << c.typed;
        EXPECT_EQ(form.dataRequestPeriod(), c.period) << c.typed;
        EXPECT_FALSE(form.Timer.isActive());
    }
    form.cbRefInt->click();
    EXPECT_FALSE(form.edRefreshInterval->isEnabled());
}

TEST_F(OscWindowTest, ATimeBaseStepReopensTheCaptureWithTheNewBlockLength)
{
    EXPECT_EQ(form.screenPoints(), 153);
    EXPECT_EQ(form.BufferBytes, 453 * 4);
    whileStopping(form);
    form.udX->stepUp();
    EXPECT_EQ(form.screenPoints(), 307);
    EXPECT_EQ(form.BufferBytes, 607 * 4);
    EXPECT_EQ(input.lastFormat.bitsPerSample, 16);
    EXPECT_TRUE(form.Running);
    const int before = form.BlockCounter;
    feed(sine);
    EXPECT_EQ(form.BlockCounter, before + 1) << "the new capture starts with a data request";
}

TEST_F(OscWindowTest, TheIntervalBoxTakesDigitsButStillEdits)
{
    QLineEdit* edit = form.edRefreshInterval;
    edit->setText("50");
    edit->setCursorPosition(0);
    auto press = [edit](int key, const QString& text) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(edit, &event);
    };
    press(Qt::Key_A, "a");
    EXPECT_EQ(edit->text(), "50") << "a letter is not typed";
    press(Qt::Key_Delete, QString(QChar(0x7F)));
    EXPECT_EQ(edit->text(), "0") << "Delete still deletes";
    press(Qt::Key_7, "7");
    EXPECT_EQ(edit->text(), "70");
}

}  // namespace

namespace {

struct OscRefusedStartTest : test::ScriptedWindowTest {
    TFormOS form{input, link};
};

TEST_F(OscRefusedStartTest, FrameGridAndLabelsAreDrawnWithoutBlocks)
{
    input.openResult = MMSYSERR_ALLOCATED;
    showAt(form, 700, 560, 48000);
    ASSERT_FALSE(form.Running);
    const QImage& image = form.screenImage();
    const auto& g = form.geometry();
    int grid = 0;
    int frame = 0;
    for (int x = static_cast<int>(g.PlotLeft); x < static_cast<int>(g.PlotLeft + g.PlotWidth); ++x) {
        grid += (image.pixel(x, static_cast<int>(g.PlotTop + g.PlotHeight / g.VoltDivisions())) & 0xFFFFFF) ==
                WhiteScheme.Grid;
        frame += (image.pixel(x, static_cast<int>(g.PlotTop + g.PlotHalfHeight)) & 0xFFFFFF) == WhiteScheme.Frame;
    }
    EXPECT_GT(grid, static_cast<int>(g.PlotWidth) / 3) << "a dotted grid line";
    EXPECT_EQ(frame, static_cast<int>(g.PlotWidth)) << "the solid centre line";
    form.hide();
}

}  // namespace
