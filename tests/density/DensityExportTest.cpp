// The density window's save commands from its popup menu: the frozen picture with its band, the
// level curves as CSV in both display modes, the picture live again after the dialog, and a file
// that cannot be written reported while the window runs on.
#include "DensityBlocks.h"
#include "density/TFormPV.h"
#include "support/ExportScript.h"
#include "support/ScriptedWindowTest.h"

#include <QCheckBox>
#include <QMenu>
#include <QRadioButton>

using namespace mirel;

namespace {

struct DensityExportTest : test::ScriptedWindowTest {
    TFormPV form{input, link};
    test::ExportScript script;

    void SetUp() override
    {
        showAt(form, 700, 560, 48000);
        ASSERT_TRUE(form.Running);
        script.attach(form);
    }
    void TearDown() override
    {
        form.popupMenu()->hide();
        finish(form);
    }
    void feed(const pv::testing::LevelFn& a, const pv::testing::LevelFn& b = pv::testing::Silence)
    {
        deliver([&](int byte) { return byte % 2 == 0 ? a(byte / 2) : b(byte / 2); });
    }
    void rightClick()
    {
        form.pbPVMouseDown(Qt::RightButton, QPoint(200, 200));
        ASSERT_FALSE(form.Live);
        form.popupMenu()->hide();
    }
};

TEST_F(DensityExportTest, ThePictureIsTheFrozenScreenWithItsBandAndGoesLiveAfter)
{
    form.ChangeColor();
    feed(pv::testing::Silence);
    rightClick();
    script.choose("density", 1);
    form.exportAction()->trigger();
    EXPECT_TRUE(form.Live);

    test::ExpectPictureWithBand(QImage(script.path("density.bmp")), form.pbPV->size(), 120, BlackScheme.Frame);
    EXPECT_EQ(script.proposed.back(),
              QStringLiteral("Mirel_500 [Плотность вероятности] [Date - 07;12;06] [Time - 14;05;33]"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Плотность вероятности"));

    rightClick();
    script.cancel();
    form.exportAction()->trigger();
    EXPECT_TRUE(form.Live) << "cancelled, the picture is live again too";
}

TEST_F(DensityExportTest, TheCsvHoldsTheShownLevelsInTheDisplayMode)
{
    feed(pv::testing::Silence);
    rightClick();
    test::CsvFile csv = script.saveData(form, "normalised");
    EXPECT_TRUE(form.Live);
    ASSERT_EQ(csv.Header, (QStringList{"Уровень (В)", "Канал A"})) << "channel B is off";
    ASSERT_EQ(csv.Rows.size(), 256u);
    const std::vector<double> volts = csv.Column("Уровень (В)");
    EXPECT_EQ(volts.front(), -1.0);
    EXPECT_EQ(volts[128], 0.0);
    EXPECT_EQ(volts.back(), 127 / 128.0);
    std::vector<double> expected(256, 0.0);
    expected[128] = 1;
    EXPECT_EQ(csv.Column("Канал A"), expected);

    // As a density, silence stands in one level 1/128 V wide: 128 per volt; B shown gets its column.
    form.rbPV->click();
    form.cb2k->setChecked(true);
    feed(pv::testing::Silence, [](int frame) { return static_cast<std::uint8_t>(frame % 2 ? 100 : 140); });
    rightClick();
    csv = script.saveData(form, "density");
    ASSERT_EQ(csv.Header, (QStringList{"Уровень (В)", "Канал A (1/В)", "Канал B (1/В)"}));
    expected[128] = 128;
    EXPECT_EQ(csv.Column("Канал A (1/В)"), expected);
    expected[128] = 0;
    expected[100] = expected[140] = 64;
    EXPECT_EQ(csv.Column("Канал B (1/В)"), expected);
}

TEST_F(DensityExportTest, AnUnwritableFileIsReportedAndTheWindowRunsOn)
{
    feed(pv::testing::Silence);
    rightClick();
    script.answers.push_back(SaveChoice{script.path("missing/data"), 1});
    form.dataAction()->trigger();
    test::ExpectReportedAndRunning(script, "missing/data.csv", form);
    EXPECT_TRUE(form.Live);
    feed([](int) { return std::uint8_t(200); });
    EXPECT_EQ(form.histA()[128], 0u) << "the new block replaced the frozen one";
    EXPECT_GT(form.histA()[200], 0u);
}

}  // namespace
