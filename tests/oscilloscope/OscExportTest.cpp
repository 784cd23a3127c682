// The oscilloscope's save commands from its popup menu: the picture of the frozen screen with its
// band, the samples of the shown traces as CSV, the sweep given back after the dialog, and a file
// that cannot be written reported while the window runs on.
#include "OscWindowFixture.h"
#include "support/ExportScript.h"

#include <QAction>
#include <QCheckBox>
#include <QImage>
#include <QSlider>
#include <gtest/gtest.h>

using namespace mirel;

namespace {

struct OscExportTest : test::OscWindowFixture {
    test::ExportScript script;

    void SetUp() override
    {
        OscWindowFixture::SetUp();
        script.attach(form);
    }
    // The user's right click on the screen, which freezes the sweep and opens the menu.
    void rightClick()
    {
        form.pbOSMouseDown(Qt::RightButton, QPoint(200, 200));
        ASSERT_FALSE(form.sweep().Continuous());
        form.PMenu->hide();
    }
};

TEST_F(OscExportTest, ThePictureIsTheFrozenScreenWithItsBandAndTheSweepResumes)
{
    show(sine);
    rightClick();
    script.choose("scope", 3);
    form.N1->trigger();

    const QImage saved(script.path("scope.png"));
    test::ExpectPictureWithBand(saved, form.pbOS->size(), 126, WhiteScheme.Frame);
    int trace = 0;
    for (int x = 50; x < saved.width() - 50; ++x)
        for (int y = 30; y < saved.height() - 30; ++y)
            trace += (saved.pixel(x, y) & 0xFFFFFF) == WhiteScheme.ChannelA;
    EXPECT_GT(trace, 300) << "the trace is in the picture";
    EXPECT_EQ(script.proposed.back(), QStringLiteral("Mirel_500 [Осциллограмма] [Date - 07;12;06] [Time - 14;05;33]"));
    EXPECT_TRUE(form.sweep().Continuous()) << "one click on the sweep button after the dialog";

    // Cancelled, the sweep comes back all the same.
    rightClick();
    script.cancel();
    form.N1->trigger();
    EXPECT_TRUE(form.sweep().Continuous());
    EXPECT_EQ(script.files(), QStringList{"scope.png"});
}

TEST_F(OscExportTest, TheCsvHoldsTheShownSamplesInVoltsOverTime)
{
    const double amplitude = 16000;
    const auto a = risingSine(96, 230, amplitude);
    show(a);
    rightClick();
    test::CsvFile csv = script.saveData(form, "samples");
    EXPECT_TRUE(form.sweep().Continuous());
    ASSERT_EQ(csv.Header, (QStringList{"Время (с)", "Канал A (В)"})) << "channel B is off";
    const int points = form.screenPoints();
    ASSERT_EQ(static_cast<int>(csv.Rows.size()), points);
    const std::vector<double> time = csv.Column("Время (с)");
    const std::vector<double> volts = csv.Column("Канал A (В)");
    EXPECT_NEAR(time.front(), -(points - 1) / 2.0 / 48000, 1e-12);
    EXPECT_NEAR(time.back(), (points - 1) / 2.0 / 48000, 1e-12);
    EXPECT_NEAR(time[1] - time[0], 1 / 48000.0, 1e-12);
    // The trace starts at the rising zero crossing the trigger found.
    for (int j = 0; j < points; ++j)
        ASSERT_EQ(volts[static_cast<std::size_t>(j)], a(230 + j) / 32768.0) << "point " << j;

    // Channel B switched on gets its column; a shift to the right drops what left the screen and
    // moves the times with the traces.
    form.cb2k->setChecked(true);
    form.tbXShift->setValue(100);
    show(a, [](int) { return std::int16_t(-8192); });
    rightClick();
    csv = script.saveData(form, "shifted");
    ASSERT_EQ(csv.Header, (QStringList{"Время (с)", "Канал A (В)", "Канал B (В)"}));
    EXPECT_LT(static_cast<int>(csv.Rows.size()), points);
    EXPECT_GT(csv.Column("Время (с)").front(), time.front());
    EXPECT_LE(csv.Column("Время (с)").back(), time.back() + 1 / 48000.0);
    for (const double b : csv.Column("Канал B (В)"))
        ASSERT_EQ(b, -0.25);
}

TEST_F(OscExportTest, UnderTheTriggerOfEachChannelEachColumnStartsAtItsOwnCrossing)
{
    // "Оба канала", the mode at start: A rises through zero at frame 230, B at 270.
    const auto a = risingSine(96, 230, 16000);
    const auto b = risingSine(96, 270, 8000);
    form.cb2k->setChecked(true);
    show(a, b);
    rightClick();
    const test::CsvFile csv = script.saveData(form, "both");
    const std::vector<double> voltsA = csv.Column("Канал A (В)");
    const std::vector<double> voltsB = csv.Column("Канал B (В)");
    ASSERT_EQ(static_cast<int>(voltsB.size()), form.screenPoints());
    for (int j = 0; j < form.screenPoints(); ++j) {
        ASSERT_EQ(voltsA[static_cast<std::size_t>(j)], a(230 + j) / 32768.0) << "point " << j;
        ASSERT_EQ(voltsB[static_cast<std::size_t>(j)], b(270 + j) / 32768.0) << "point " << j;
    }
}

TEST_F(OscExportTest, AnUnwritableFileIsReportedAndTheWindowRunsOn)
{
    show(sine);
    rightClick();
    script.answers.push_back(SaveChoice{script.path("missing/scope"), 1});
    form.N1->trigger();
    test::ExpectReportedAndRunning(script, "missing/scope.bmp", form);
    EXPECT_TRUE(form.sweep().Continuous());
    show(silence);
    EXPECT_EQ(form.BlockCounter, 2) << "blocks are still taken";
    EXPECT_FALSE(plotPixels(WhiteScheme.ChannelA).empty());
}

}  // namespace
