// The density window fed through the scripted input: blocks reach the screen in the colours of
// the scheme, old curves vanish, and the controls act on what is shown.
#include "DensityBlocks.h"
#include "density/TFormPV.h"
#include "support/ScriptedWindowTest.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QSlider>
#include <cmath>

using namespace mirel;
using pv::testing::LevelFn;
using pv::testing::Silence;

namespace {

struct DensityWindowTest : test::ScriptedWindowTest {
    TFormPV form{input, link};

    void SetUp() override
    {
        showAt(form, 700, 560, 48000);
        ASSERT_TRUE(form.Running);
    }

    void TearDown() override
    {
        form.popupMenu()->hide();
        finish(form);
    }

    void feed(const LevelFn& a, const LevelFn& b = Silence)
    {
        deliver([&](int byte) { return byte % 2 == 0 ? a(byte / 2) : b(byte / 2); });
    }

    static std::uint8_t sine(int frame)
    {
        return static_cast<std::uint8_t>(128 + 64 * std::sin(2 * M_PI * frame / 48.0));
    }
    static LevelFn constant(std::uint8_t level)
    {
        return [level](int) { return level; };
    }

    // Pixels of `colour` inside the plot, above its bottom outline.
    std::vector<QPoint> plotPixels(Rgb colour) const
    {
        const QImage& image = form.screenImage();
        const pv::PlotGeometry& g = form.geometry();
        std::vector<QPoint> found;
        for (int y = g.PlotTop; y < g.Bottom(); ++y)
            for (int x = g.PlotLeft; x < g.Right(); ++x)
                if ((image.pixel(x, y) & 0xFFFFFF) == colour)
                    found.emplace_back(x, y);
        return found;
    }

    // Every pixel above the flat part of the curve along the bottom edge lies within the columns
    // of the spike at `level`.
    void expectOnlySpikeAt(const std::vector<QPoint>& pixels, int level, int lineWidth) const
    {
        ASSERT_FALSE(pixels.empty());
        const int left = pv::BinX(form.geometry(), level - 1) - lineWidth;
        const int right = pv::BinX(form.geometry(), level + 1) + lineWidth;
        const int flat = form.geometry().Bottom() - lineWidth / 2;
        for (const QPoint& p : pixels)
            ASSERT_TRUE(p.y() >= flat || (p.x() >= left && p.x() <= right))
                << "a pixel of an old curve at " << p.x() << "," << p.y();
    }

    // The label columns left and right of the plot.
    QImage column(int left, int right) const
    {
        return form.screenImage().copy(QRect(QPoint(left, 0), QPoint(right, form.screenImage().height() - 1)));
    }
    QImage leftScale() const { return column(0, form.geometry().PlotLeft - 2); }
    QImage rightScale() const { return column(form.geometry().Right() + 1, form.screenImage().width() - 1); }
};

TEST_F(DensityWindowTest, ANewBlockLeavesNothingOfTheOldCurvesInEitherScheme)
{
    form.cb2k->setChecked(true);
    for (const DisplayPalette& scheme : {WhiteScheme, BlackScheme}) {
        SCOPED_TRACE(scheme == WhiteScheme ? "white" : "black");
        ASSERT_EQ(form.currentScheme(), scheme);
        feed(sine, [](int frame) { return static_cast<std::uint8_t>(100 + frame % 57); });
        EXPECT_GT(plotPixels(scheme.ChannelA).size(), 300u);
        EXPECT_GT(plotPixels(scheme.ChannelB).size(), 300u);
        feed(constant(200), constant(60));
        expectOnlySpikeAt(plotPixels(scheme.ChannelA), 200, form.lineWidth());
        expectOnlySpikeAt(plotPixels(scheme.ChannelB), 60, form.lineWidth());

        form.ChangeLineWidth(3, true);  // the next pass erases with a wide pen
        form.ChangeColor();
    }
    EXPECT_EQ(form.currentScheme(), WhiteScheme) << "two switches return to the first scheme";
    EXPECT_EQ(form.screenImage().pixel(5, 5) & 0xFFFFFF, WhiteScheme.Background);
    EXPECT_TRUE(plotPixels(BlackScheme.ChannelA).empty()) << "nothing of the black scheme is left";
    expectOnlySpikeAt(plotPixels(WhiteScheme.ChannelA), 200, 3);
}

TEST_F(DensityWindowTest, SilenceBeforeAndAfterTheFirstBlock)
{
    form.rbPV->click();
    form.ChangeColor();  // no block yet: grid and scales only
    EXPECT_TRUE(plotPixels(BlackScheme.ChannelA).empty());
    form.rbNM->click();
    feed(Silence);
    EXPECT_EQ(form.points().TraceA[pv::ZeroLevel].y, form.geometry().PlotTop);
    expectOnlySpikeAt(plotPixels(BlackScheme.ChannelA), pv::ZeroLevel, 1);

    form.resize(900, 640);  // drawn anew on the larger plot at once
    QCoreApplication::processEvents();
    EXPECT_EQ(form.geometry().PlotWidth, form.pbPV->width() - 80);
    expectOnlySpikeAt(plotPixels(BlackScheme.ChannelA), pv::ZeroLevel, 1);
}

TEST_F(DensityWindowTest, ChannelsFollowTheirCheckBoxes)
{
    form.cb2k->setChecked(true);
    form.cb1k->setChecked(false);
    feed(sine, sine);
    EXPECT_TRUE(plotPixels(WhiteScheme.ChannelA).empty());
    EXPECT_GT(plotPixels(WhiteScheme.ChannelB).size(), 300u);
    form.cb2k->setChecked(false);
    EXPECT_TRUE(plotPixels(WhiteScheme.ChannelB).empty()) << "unticked, the curve goes at once";
    form.cb1k->setChecked(true);
    EXPECT_GT(plotPixels(WhiteScheme.ChannelA).size(), 300u) << "ticked, the last block's curve comes back";
}

TEST_F(DensityWindowTest, ANewRefreshRateReopensTheCaptureWithItsBlockLength)
{
    EXPECT_EQ(form.gbrps->title(), "Скорость обновления (3 раза/с)");
    EXPECT_EQ(form.BufferBytes, 32000);
    EXPECT_EQ(input.lastFormat.bitsPerSample, 8);
    whileStopping(form);
    form.tbrps->setValue(5);
    EXPECT_EQ(form.gbrps->title(), "Скорость обновления (5 раз/с)");
    EXPECT_EQ(form.FramesPerBlock, 9600);
    EXPECT_EQ(form.BufferBytes, 19200);
    ASSERT_TRUE(form.Running);
    const int before = form.BlockCounter;
    feed(constant(10));
    EXPECT_EQ(form.BlockCounter, before + 1);
    EXPECT_EQ(form.histA()[10], 9600u);

    whileStopping(form);
    form.tbrps->setValue(1);
    EXPECT_EQ(form.gbrps->title(), "Скорость обновления (1 раз/с)");
    EXPECT_EQ(form.BufferBytes, 96000);
}

TEST_F(DensityWindowTest, TheModeSwitchesTheScaleControlsAndRelabelsTheAxes)
{
    QWidget* scaleControls[] = {form.tbVP1, form.tbVP2, form.lblVP1, form.lblVP2, form.Label11};
    for (QWidget* control : scaleControls)
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    const QImage normalisedLeft = leftScale(), normalisedRight = rightScale();
    form.tbVP1->setValue(200);
    EXPECT_EQ(form.lblVP1->text(), "2/дел");
    EXPECT_EQ(leftScale(), normalisedLeft) << "the normalised axis reads 1.0 … 0.0 whatever the scale";

    form.rbPV->click();
    EXPECT_FALSE(form.Normalised);
    for (QWidget* control : scaleControls)
        EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_NE(leftScale(), normalisedLeft);
    const QImage at200 = leftScale(), densityRight = rightScale();
    EXPECT_NE(densityRight, normalisedRight);
    form.tbVP1->setValue(1);
    EXPECT_EQ(form.lblVP1->text(), "0,01/дел");
    EXPECT_NE(leftScale(), at200);
    EXPECT_EQ(rightScale(), densityRight) << "channel B keeps its scale";

    form.rbNM->click();
    EXPECT_TRUE(form.Normalised);
    for (QWidget* control : scaleControls)
        EXPECT_FALSE(control->isEnabled());
    EXPECT_EQ(leftScale(), normalisedLeft);
    EXPECT_EQ(rightScale(), normalisedRight);
}

TEST_F(DensityWindowTest, AFrozenPictureStaysAndFollowsTheScale)
{
    feed(sine);
    form.pbPVMouseDown(Qt::LeftButton, QPoint(100, 100));
    EXPECT_FALSE(form.Live);
    const QImage frozen = form.screenImage().copy();
    const int before = form.BlockCounter;
    feed(constant(200));
    EXPECT_EQ(form.BlockCounter, before + 1) << "blocks keep arriving";
    EXPECT_EQ(form.screenImage(), frozen);
    form.tbVP1->setValue(150);  // normalised: the scale changes nothing
    EXPECT_EQ(form.screenImage(), frozen);

    form.pbPVMouseDown(Qt::LeftButton, QPoint(100, 100));
    EXPECT_TRUE(form.Live);
    feed(constant(200));
    expectOnlySpikeAt(plotPixels(WhiteScheme.ChannelA), 200, 1);

    // 16 levels of 1000 samples each: 8 per volt, cut flat at a scale of 2, half way up at 16.
    form.rbPV->click();
    form.tbVP1->setValue(20);
    feed([](int frame) { return static_cast<std::uint8_t>(120 + frame % 16); });
    form.pbPVMouseDown(Qt::RightButton, QPoint(100, 100));
    EXPECT_FALSE(form.Live);
    EXPECT_TRUE(form.popupMenu()->isVisible());
    EXPECT_TRUE(form.exportAction()->isEnabled());
    EXPECT_EQ(form.points().TraceA[127].y, form.geometry().PlotTop);
    form.tbVP1->setValue(160);
    EXPECT_GT(form.points().TraceA[127].y, form.geometry().PlotTop + form.geometry().PlotHeight / 2 - 2);
    EXPECT_LT(form.points().TraceA[127].y, form.geometry().PlotTop + form.geometry().PlotHeight / 2 + 2);
    form.pbPVMouseDown(Qt::RightButton, QPoint(100, 100));
    EXPECT_FALSE(form.Live) << "a right click always freezes";
}

}  // namespace

namespace {

TEST_F(DensityWindowTest, ALostDeviceIsSaidOnTheDisplay)
{
    const QImage before = form.screenImage().copy();
    const auto& g = form.geometry();
    const QRect band(g.PlotLeft, g.PlotTop + g.PlotHeight / 4 - 10, g.PlotWidth, 20);
    ASSERT_TRUE(loseDevice(form));
    EXPECT_GT(newPixels(form.screenImage(), before, band, WhiteScheme.Frame), 100);
    input.streamFailed = false;
}

}  // namespace
