// The spectrum analyser's save commands from its popup menu: the frozen picture with its band, the
// shown bins as CSV in both kinds of spectrum, the display live again after the dialog, and a file
// that cannot be written reported while the window runs on.
#include "ExportScript.h"
#include "ScriptedWindowTest.h"
#include "TFormSP.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QRadioButton>
#include <QSlider>
#include <cmath>

using namespace mirel;

namespace {

struct SpExportTest : test::ScriptedWindowTest {
    TFormSP form{input, link};
    test::ExportScript script;

    // 2048 points: bins 23.4375 Hz apart at 48 kHz.
    void SetUp() override
    {
        form.SampleRate = 48000;
        form.tbAccuracy->setValue(0);
        showAt(form, 700, 560, 48000);
        ASSERT_TRUE(form.Running);
        ASSERT_EQ(form.FftLength, 2048);
        script.attach(form);
    }
    void TearDown() override
    {
        form.popupMenu()->hide();
        finish(form);
    }
    // A sine on bin `bin` with a peak of `peak` counts.
    void feed(int bin, double peak, const test::SampleFn& b = {})
    {
        deliver(test::StereoFrames(
            [=](int i) { return static_cast<std::int16_t>(std::lround(peak * std::sin(2 * M_PI * bin * i / 2048.0))); },
            b));
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
    feed(128, 16384);
    rightClick();
    script.choose("spectrum", 2);
    form.exportAction()->trigger();
    EXPECT_TRUE(form.Live);
    const QImage saved(script.path("spectrum.jpg"));
    ASSERT_EQ(saved.size(), form.pbSP->size());
    const std::vector<int> band = test::BandColumns(saved, 120, WhiteScheme.Frame, 48);
    ASSERT_GT(band.size(), 150u);
    EXPECT_LE(band.front(), 123);
    EXPECT_GE(band.front(), 120);
    EXPECT_EQ(script.proposed.back(), QStringLiteral("Mirel_500 [Спектр] [Date - 07;12;06] [Time - 14;05;33]"));

    rightClick();
    script.cancel();
    form.exportAction()->trigger();
    EXPECT_TRUE(form.Live) << "cancelled, the display is live again too";
}

TEST_F(SpExportTest, TheCsvHoldsTheShownBinsInTheDisplaysUnit)
{
    feed(128, 16384);  // 3000 Hz, 0.5 V peak
    rightClick();
    script.choose("amplitude");
    form.dataAction()->trigger();
    EXPECT_TRUE(form.Live);
    test::CsvFile csv = test::ReadCsv(script.path("amplitude.csv"));
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
    feed(128, 16384,
         [](int i) { return static_cast<std::int16_t>(std::lround(8192 * std::sin(2 * M_PI * 256 * i / 2048.0))); });
    rightClick();
    script.choose("power");
    form.dataAction()->trigger();
    csv = test::ReadCsv(script.path("power.csv"));
    ASSERT_EQ(csv.Header, (QStringList{"Частота (Гц)", "Канал A (Вт)", "Канал B (Вт)"}));
    EXPECT_NEAR(csv.Column("Канал A (Вт)")[126], 0.25, 1e-4);
    EXPECT_NEAR(csv.Column("Канал B (Вт)")[254], 0.0625, 1e-4);
    EXPECT_LT(csv.Column("Канал B (Вт)")[126], 1e-6);
}

TEST_F(SpExportTest, AnUnwritableFileIsReportedAndTheWindowRunsOn)
{
    feed(128, 16384);
    rightClick();
    script.answers.push_back(SaveChoice{script.path("missing/spectrum"), 3});
    form.exportAction()->trigger();
    ASSERT_EQ(script.errors.size(), 1u);
    EXPECT_TRUE(script.errors[0].contains(script.path("missing/spectrum.png")));
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.Running);
    EXPECT_TRUE(form.Live);
    const int blocks = form.BlockCounter;
    feed(256, 16384);
    EXPECT_EQ(form.BlockCounter, blocks + 1);
    EXPECT_EQ(form.samplesA()[1], static_cast<std::int16_t>(std::lround(16384 * std::sin(2 * M_PI * 256 / 2048.0))))
        << "the new block is taken";
}

}  // namespace
