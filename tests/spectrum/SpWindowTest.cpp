// The spectrum analyser window fed through the scripted input at 48 kHz: sines reach the screen at
// their frequency and level in either scheme, old curves vanish, and the controls act on what is
// shown (scales, kind, band, channels, freezing, accuracy).
#include "SpWindowFixture.h"
#include "spectrum/SpectrumLabels.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QSlider>
#include <cmath>

using namespace mirel;

namespace {

using SpWindowTest = test::SpWindowFixture;

TEST_F(SpWindowTest, ASineStandsAtItsFrequencyAndLevel)
{
    const int top = form.geometry().PlotTop;
    const int height = form.geometry().PlotHeight;
    feed(sine(3000));
    EXPECT_EQ(form.BlockCounter, 1);
    EXPECT_EQ(topNear(columnOf(3000), WhiteScheme.ChannelA), top) << "at the default 10 mV it is clipped at the top";
    EXPECT_EQ(form.lblM1->text(), "0.5 мВ/дел");

    form.tbM1->setValue(21);  // full height 1 V
    EXPECT_EQ(form.lblM1->text(), "0.05 В/дел");
    feed(sine(3000));
    EXPECT_NEAR(topNear(columnOf(3000), WhiteScheme.ChannelA), top, 1);
    feed(sine(3000, 16384));
    EXPECT_NEAR(topNear(columnOf(3000), WhiteScheme.ChannelA), top + height / 2, 1);

    form.rbSpektrMosch->click();
    form.tbM1->setValue(36);  // full height 1 W: half the amplitude is a quarter of the power
    feed(sine(3000, 16384));
    EXPECT_NEAR(topNear(columnOf(3000), WhiteScheme.ChannelA), top + height * 3 / 4, 1);
    EXPECT_EQ(form.lblM1->text(), "0.05 Вт/дел");
}

TEST_F(SpWindowTest, ANewBlockLeavesNothingOfTheOldCurvesInEitherScheme)
{
    for (const DisplayPalette& scheme : {WhiteScheme, BlackScheme}) {
        SCOPED_TRACE(scheme == WhiteScheme ? "white" : "black");
        if (scheme == BlackScheme) {
            form.ChangeColor();
            form.ChangeLineWidth(3, true);
        }
        form.cb2k->setChecked(true);
        feed(sine(3000), sine(12000));
        ASSERT_FALSE(raised(scheme.ChannelA).empty());
        ASSERT_FALSE(raised(scheme.ChannelB).empty());
        feed(sine(9000), sine(18000));
        for (const QPoint& p : raised(scheme.ChannelA))
            ASSERT_LE(std::abs(p.x() - columnOf(9000)), 2) << "channel A left a pixel at " << p.x() << "," << p.y();
        for (const QPoint& p : raised(scheme.ChannelB))
            ASSERT_LE(std::abs(p.x() - columnOf(18000)), 2) << "channel B left a pixel at " << p.x() << "," << p.y();
        EXPECT_EQ(form.screenImage().pixel(5, 5) & 0xFFFFFF, scheme.Background);
    }
}

TEST_F(SpWindowTest, ChannelSwitchesShowAndEraseTheirCurves)
{
    feed(sine(3000), sine(12000));
    EXPECT_TRUE(raised(WhiteScheme.ChannelB).empty()) << "channel B is off at start";
    form.cb2k->setChecked(true);
    feed(sine(3000), sine(12000));
    EXPECT_EQ(topNear(columnOf(12000), WhiteScheme.ChannelB), form.geometry().PlotTop);
    EXPECT_EQ(topNear(columnOf(12000), WhiteScheme.ChannelA), form.geometry().PlotBottom()) << "each channel its own";
    form.cb2k->setChecked(false);
    EXPECT_TRUE(raised(WhiteScheme.ChannelB).empty());
    form.cb2k->setChecked(true);
    EXPECT_EQ(topNear(columnOf(12000), WhiteScheme.ChannelB), form.geometry().PlotTop)
        << "the curve built last for B is back without a new block";
    form.cb1k->setChecked(false);
    EXPECT_TRUE(raised(WhiteScheme.ChannelA).empty());
}

TEST_F(SpWindowTest, TheBandControlsPushEachOther)
{
    EXPECT_EQ(form.tbFn1->maximum(), 11);
    EXPECT_EQ(form.tbFv1->maximum(), 12);
    EXPECT_EQ(form.lblFv1->text(), "24 кГц");
    form.tbFn1->setValue(4);
    EXPECT_EQ(form.lowFrequency(), 6000);
    EXPECT_EQ(form.lblFn1->text(), "6 кГц");
    form.tbFv1->setValue(3);  // upper edge at 4 kHz pushes the lower one down to 2 kHz
    EXPECT_EQ(form.highFrequency(), 4000);
    EXPECT_EQ(form.tbFn1->value(), 2);
    EXPECT_EQ(form.lowFrequency(), 2000);
    EXPECT_EQ(form.lblFn1->text(), "2 кГц");

    // A sine inside the new band stands where the band puts it: 3 kHz halfway across 2 … 4 kHz.
    form.tbM1->setValue(21);
    feed(sine(3000));
    const auto& g = form.geometry();
    EXPECT_EQ(topNear(g.PlotLeft + g.PlotWidth / 2, WhiteScheme.ChannelA), g.PlotTop);
}

TEST_F(SpWindowTest, EachSpectrumKindKeepsItsScalePositions)
{
    EXPECT_EQ(form.tbM1->value(), 15);
    EXPECT_EQ(form.tbM1->maximum(), 26);
    form.tbM1->setValue(18);
    form.tbM2->setValue(20);
    form.rbSpektrMosch->click();
    EXPECT_FALSE(form.amplitudeMode());
    EXPECT_EQ(form.tbM1->maximum(), 44);
    EXPECT_EQ(form.tbM1->value(), 21);
    form.tbM1->setValue(40);
    form.tbM2->setValue(44);
    form.rbSpektrMosch->click();  // already the power spectrum: nothing is swapped
    EXPECT_EQ(form.tbM2->value(), 44);
    form.rbSpektrAmp->click();
    EXPECT_EQ(form.tbM1->value(), 18);
    EXPECT_EQ(form.tbM2->value(), 20);
    EXPECT_EQ(form.fullScaleA(), 0.1);
    form.rbSpektrMosch->click();
    EXPECT_EQ(form.tbM1->value(), 40);
    EXPECT_EQ(form.tbM2->value(), 44) << "above the amplitude maximum and still kept";
}

TEST_F(SpWindowTest, FreezingKeepsTheSpectrumAndFollowsRescaling)
{
    form.tbM1->setValue(21);
    feed(sine(3000, 16384));
    const int half = form.geometry().PlotTop + form.geometry().PlotHeight / 2;
    ASSERT_NEAR(topNear(columnOf(3000), WhiteScheme.ChannelA), half, 1);

    form.pbSPMouseDown(Qt::RightButton, QPoint(100, 100));
    EXPECT_FALSE(form.Live);
    EXPECT_TRUE(form.popupMenu()->isVisible());
    form.popupMenu()->hide();
    feed(sine(9000));
    EXPECT_EQ(form.BlockCounter, 2) << "blocks still arrive";
    EXPECT_NEAR(topNear(columnOf(3000), WhiteScheme.ChannelA), half, 1) << "the frozen spectrum stays";
    EXPECT_EQ(topNear(columnOf(9000), WhiteScheme.ChannelA), form.geometry().PlotBottom())
        << "the new block is not shown";

    form.tbM1->setValue(22);  // twice the full height: the frozen peak drops to a quarter
    QCoreApplication::processEvents();
    EXPECT_NEAR(topNear(columnOf(3000), WhiteScheme.ChannelA),
                form.geometry().PlotTop + form.geometry().PlotHeight * 3 / 4, 1);

    form.pbSPMouseDown(Qt::RightButton, QPoint(100, 100));
    EXPECT_FALSE(form.Live) << "the right button always freezes";
    form.pbSPMouseDown(Qt::LeftButton, QPoint(100, 100));
    EXPECT_TRUE(form.Live);
    feed(sine(9000));
    EXPECT_NEAR(topNear(columnOf(9000), WhiteScheme.ChannelA), half, 1) << "full scale at 2 V: half height";
    form.pbSPMouseDown(Qt::LeftButton, QPoint(100, 100));
    EXPECT_FALSE(form.Live) << "the left button toggles";
}

TEST_F(SpWindowTest, AFrozenWindowClosedAndShownAgainKeepsItsSpectrum)
{
    form.tbM1->setValue(21);
    feed(sine(3000));
    form.pbSPMouseDown(Qt::LeftButton, QPoint(100, 100));
    form.Timer1Timer();  // a second after the creation's stop
    whileStopping(form);
    form.close();
    ASSERT_FALSE(form.Running);
    form.Timer1Timer();
    showAt(form, 700, 560, 48000);
    ASSERT_TRUE(form.Running);
    EXPECT_FALSE(form.Live);
    EXPECT_EQ(topNear(columnOf(3000), WhiteScheme.ChannelA), form.geometry().PlotTop);
}

TEST_F(SpWindowTest, AnAccuracyChangeRestartsWithTheNewLengthOnceASecond)
{
    form.pbSPMouseDown(Qt::LeftButton, QPoint(100, 100));  // frozen
    form.Timer1Timer();
    ASSERT_TRUE(form.tbAccuracy->isEnabled());
    whileStopping(form);
    form.tbAccuracy->setValue(2);
    EXPECT_EQ(form.FftLength, 8192);
    EXPECT_EQ(form.BufferBytes, 8192 * 4);
    EXPECT_TRUE(form.Running);
    EXPECT_TRUE(form.Live) << "a new accuracy releases the frozen display";
    EXPECT_FALSE(form.tbAccuracy->isEnabled()) << "for a second after the stop";
    EXPECT_TRUE(form.Timer1.isActive());
    form.Timer1Timer();
    EXPECT_TRUE(form.tbAccuracy->isEnabled());

    const auto opens = std::count(input.calls.begin(), input.calls.end(), "open");
    form.tbAccuracyChange();  // the length in force: nothing happens
    EXPECT_EQ(std::count(input.calls.begin(), input.calls.end(), "open"), opens);
    feed(sine(3000));
    EXPECT_EQ(topNear(columnOf(3000), WhiteScheme.ChannelA), form.geometry().PlotTop);
}

TEST_F(SpWindowTest, ChannelBHasItsOwnScaleAndCaptionAndALevelAboveFullScaleStopsAtTheTop)
{
    const auto& g = form.geometry();
    form.cb2k->setChecked(true);
    form.tbM1->setValue(21);  // A: full height 1 V
    form.tbM2->setValue(22);  // B: full height 2 V
    EXPECT_EQ(form.lblM1->text() + " " + form.lblM2->text(), "0.05 В/дел 0.1 В/дел");
    feed(sine(3000, 16384), sine(12000, 16384));
    EXPECT_NEAR(topNear(columnOf(3000), WhiteScheme.ChannelA), g.PlotTop + g.PlotHeight / 2, 1);
    EXPECT_NEAR(topNear(columnOf(12000), WhiteScheme.ChannelB), g.PlotTop + g.PlotHeight * 3 / 4, 1);

    // Frozen, B's slider alone rescales B's curve and caption.
    form.pbSPMouseDown(Qt::RightButton, QPoint(100, 100));
    form.popupMenu()->hide();
    form.tbM2->setValue(21);
    QCoreApplication::processEvents();
    EXPECT_EQ(form.lblM2->text(), "0.05 В/дел");
    EXPECT_NEAR(topNear(columnOf(12000), WhiteScheme.ChannelB), g.PlotTop + g.PlotHeight / 2, 1);
    EXPECT_NEAR(topNear(columnOf(3000), WhiteScheme.ChannelA), g.PlotTop + g.PlotHeight / 2, 1);

    // Far above full scale both curves end at the plot's top edge, none in the margin above it.
    form.pbSPMouseDown(Qt::LeftButton, QPoint(100, 100));
    form.tbM1->setValue(0);
    form.tbM2->setValue(0);
    const QImage before = form.screenImage().copy();
    feed(sine(3000), sine(12000));
    EXPECT_EQ(topNear(columnOf(3000), WhiteScheme.ChannelA), g.PlotTop);
    EXPECT_EQ(topNear(columnOf(12000), WhiteScheme.ChannelB), g.PlotTop);
    const QImage& after = form.screenImage();
    for (int y = 0; y < g.PlotTop; ++y)
        for (int x = g.PlotLeft; x < g.PlotRight(); ++x)
            ASSERT_EQ(after.pixel(x, y), before.pixel(x, y)) << "a curve above the plot at " << x << "," << y;
}

TEST_F(SpWindowTest, AFrozenSpectrumFollowsABandChangeAndTheGridFollowsAResize)
{
    form.tbM1->setValue(21);
    feed(sine(3000));
    form.pbSPMouseDown(Qt::RightButton, QPoint(100, 100));
    form.popupMenu()->hide();
    form.tbFn1->setValue(2);
    form.tbFv1->setValue(3);  // 2 … 4 kHz: the frozen 3 kHz peak moves to the middle
    QCoreApplication::processEvents();
    const auto& g = form.geometry();
    EXPECT_EQ(topNear(g.PlotLeft + g.PlotWidth / 2, WhiteScheme.ChannelA), g.PlotTop);

    // Columns holding a vertical grid line: grid pixels over much of the plot's height.
    auto gridColumns = [this] {
        const QImage& image = form.screenImage();
        const auto& now = form.geometry();
        std::vector<int> columns;
        for (int x = now.PlotLeft + 1; x < now.PlotRight() - 1; ++x) {
            int grid = 0;
            for (int y = now.PlotTop; y < now.PlotBottom(); ++y)
                grid += (image.pixel(x, y) & 0xFFFFFF) == WhiteScheme.Grid;
            if (grid > now.PlotHeight / 4)
                columns.push_back(x);
        }
        return columns;
    };
    for (const int width : {1000, 560}) {
        form.resize(width, 560);
        QCoreApplication::processEvents();
        EXPECT_EQ(gridColumns(), spectrum::FreqGridLines(form.geometry(), 2000, 4000)) << width;
    }
}

TEST(SpWindowWithoutCapture, ARefusedStartShowsScalesWithoutCurves)
{
    test::FakeWaveInput input;
    input.openResult = MMSYSERR_ALLOCATED;
    LauncherLink link;
    link.InstrumentWidth = 600;
    link.InstrumentHeight = 500;
    TFormSP form(input, link);
    form.SampleRate = 48000;
    form.show();
    QCoreApplication::processEvents();
    form.FormPaint();
    EXPECT_FALSE(form.Running);
    EXPECT_FALSE(form.pass().Allocated());
    const QImage& image = form.screenImage();
    const auto& g = form.geometry();
    EXPECT_EQ(image.pixel(g.PlotLeft - 1, g.PlotTop + 10) & 0xFFFFFF, WhiteScheme.Frame);
    for (int x = g.PlotLeft; x < g.PlotRight(); ++x)
        ASSERT_NE(image.pixel(x, g.PlotBottom() - 1) & 0xFFFFFF, WhiteScheme.ChannelA);
}

}  // namespace

namespace {

TEST_F(SpWindowTest, ALostDeviceIsSaidOnTheDisplayUntilBlocksComeBack)
{
    const QImage before = form.screenImage().copy();
    const auto& g = form.geometry();
    const QRect band(g.PlotLeft, g.PlotTop + g.PlotHeight / 4 - 10, g.PlotWidth, 20);
    ASSERT_TRUE(loseDevice(form));
    EXPECT_GT(newPixels(form.screenImage(), before, band, WhiteScheme.Frame), 100);
    form.ChangeColor();
    form.ChangeColor();
    EXPECT_GT(newPixels(form.screenImage(), before, band, WhiteScheme.Frame), 100) << "kept through full redraws";
    input.streamFailed = false;
    while (!input.bufferQueued())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    deliver([](int) { return std::uint8_t{0}; });
    EXPECT_FALSE(form.deviceLost());
    EXPECT_EQ(newPixels(form.screenImage(), before, band, WhiteScheme.Frame), 0);
}

}  // namespace
