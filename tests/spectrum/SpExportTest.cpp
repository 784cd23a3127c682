// The spectrum analyser's save commands from its popup menu: the frozen picture with its band, the
// shown bins as CSV in both kinds of spectrum, the display live again after the dialog, and a file
// that cannot be written reported while the window runs on.
#include "SpWindowFixture.h"
#include "support/ExportScript.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QRadioButton>
#include <QSlider>
#include <cmath>

using namespace mirel;

namespace {

struct SpExportTest : test::SpWindowFixture {
    test::ExportScript script;

    void SetUp() override
    {
        SpWindowFixture::SetUp();
        script.attach(form);
    }
    void rightClick()
    {
        form.pbSPMouseDown(Qt::RightButton, QPoint(200, 200));
        ASSERT_FALSE(form.Live);
        form.popupMenu()->hide();
    }
};

TEST_F(SpExportTest, ThePictureIsTheFrozenScreenWithItsBandAndGoesLiveAfter)
{
    feed(sine(3000, 16384));
    rightClick();
    script.choose("spectrum", 2);
    form.exportAction()->trigger();
    EXPECT_TRUE(form.Live);
    test::ExpectPictureWithBand(QImage(script.path("spectrum.jpg")), form.pbSP->size(), 120, WhiteScheme.Frame, 48);
    EXPECT_EQ(script.proposed.back(), QStringLiteral("Mirel_500 [Спектр] [Date - 07;12;06] [Time - 14;05;33]"));

    rightClick();
    script.cancel();
    form.exportAction()->trigger();
    EXPECT_TRUE(form.Live) << "cancelled, the display is live again too";
}

TEST_F(SpExportTest, TheCsvHoldsTheShownBinsInTheDisplaysUnit)
{
    feed(sine(3000, 16384));  // on bin 128, 0.5 V peak
    rightClick();
    test::CsvFile csv = script.saveData(form, "amplitude");
    EXPECT_TRUE(form.Live);
    ASSERT_EQ(csv.Header, (QStringList{"Частота (Гц)", "Канал A (В)"})) << "channel B is off";
    const std::vector<double> hz = csv.Column("Частота (Гц)");
    // The bins between the edges of the band 0 … 24 kHz: bins 2 … 1023, bin 128 at 3000 Hz.
    ASSERT_EQ(hz.size(), 1022u);
    EXPECT_EQ(hz.front(), 2 * 48000 / 2048.0);
    EXPECT_EQ(hz[126], 3000.0);
    const std::vector<double> volts = csv.Column("Канал A (В)");
    EXPECT_NEAR(volts[126], 0.5, 1e-4);
    EXPECT_LT(volts[125] + volts[127], 1e-3) << "a sine on a bin leaves its neighbours empty";

    // Power, with channel B shown: (0.5 V)² on A's bin, B's sine on its own.
    form.rbSpektrMosch->click();
    form.cb2k->setChecked(true);
    feed(sine(3000, 16384), sine(6000, 8192));
    rightClick();
    csv = script.saveData(form, "power");
    ASSERT_EQ(csv.Header, (QStringList{"Частота (Гц)", "Канал A (Вт)", "Канал B (Вт)"}));
    EXPECT_NEAR(csv.Column("Канал A (Вт)")[126], 0.25, 1e-4);
    EXPECT_NEAR(csv.Column("Канал B (Вт)")[254], 0.0625, 1e-4);
    EXPECT_LT(csv.Column("Канал B (Вт)")[126], 1e-6);
}

TEST_F(SpExportTest, AnUnwritableFileIsReportedAndTheWindowRunsOn)
{
    feed(sine(3000, 16384));
    rightClick();
    script.answers.push_back(SaveChoice{script.path("missing/spectrum"), 3});
    form.exportAction()->trigger();
    test::ExpectReportedAndRunning(script, "missing/spectrum.png", form);
    EXPECT_TRUE(form.Live);
    const int blocks = form.BlockCounter;
    feed(sine(6000, 16384));
    EXPECT_EQ(form.BlockCounter, blocks + 1);
    EXPECT_EQ(form.samplesA()[1], sine(6000, 16384)(1)) << "the new block is taken";
}

}  // namespace
