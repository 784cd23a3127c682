// The analyser's view settings in the window: the curve on a logarithmic axis and a decibel scale,
// the held peaks in a paler shade until reset, the data in decibels, and readings that stay exact
// through a window.
#include "SpWindowFixture.h"
#include "spectrum/FrequencyAxis.h"
#include "spectrum/LevelAxis.h"
#include "support/ExportScript.h"
#include "support/ReadingLines.h"

#include <QAction>

namespace mirel::test {
namespace {

struct SpViewTest : SpWindowFixture {
    test::ExportScript script;
    void SetUp() override
    {
        SpWindowFixture::SetUp();
        script.attach(form);
    }
    void choose(const std::string& name, const std::string& word) { form.setViewChoice(name, word); }
    static Rgb pale(Rgb colour) { return Blended(colour, WhiteScheme.Background); }
};

TEST_F(SpViewTest, DecibelsOnALogarithmicAxis)
{
    choose("levelScale", "db");
    choose("frequencyScale", "log");
    const double hz = 43 * 23.4375;  // on a bin: 0.5 V reads −6.02 dBV
    feed(sine(hz, 16384));
    const spectrum::FrequencyScale scale = spectrum::FrequencyScaleFor(form.geometry(), 0, 24000, true, 2048, 48000);
    const int x = static_cast<int>(spectrum::FrequencyX(hz, scale));
    const auto& g = form.geometry();
    const int row = static_cast<int>(g.PlotBottom() - g.PlotHeight * spectrum::DbFraction(-6.0206, form.view()));
    EXPECT_NEAR(topNear(x, WhiteScheme.ChannelA), row, 1);

    const test::CsvFile csv = script.saveData(form, "db");
    ASSERT_EQ(csv.Header, (QStringList{"Частота (Гц)", "Канал A (дБВ)"}));
    EXPECT_NEAR(csv.Column("Канал A (дБВ)")[42], -6.0206, 0.01);
}

TEST_F(SpViewTest, HeldPeaksStayPaleUntilReset)
{
    choose("peakHold", "1");
    feed(sine(3000, 16384));
    feed(sine(6000, 16384));
    // The 3 kHz peak is held under the 6 kHz curve; the reset takes it away.
    EXPECT_LT(topNear(columnOf(3000), pale(WhiteScheme.ChannelA)), form.geometry().PlotBottom() - 10);
    form.findChild<QAction*>("resetPeaks")->trigger();
    QCoreApplication::sendPostedEvents();
    feed(sine(6000, 16384));
    EXPECT_EQ(topNear(columnOf(3000), pale(WhiteScheme.ChannelA)), form.geometry().PlotBottom());
}

TEST_F(SpViewTest, ReadingsThroughAWindowAreThoseOfTheBlock)
{
    const double hz = 1000.37;
    feed(sine(hz, 16384));
    form.readingsAction()->trigger();
    const std::string plain = test::linesIn(form, TextColour::ChannelA);
    choose("window", "blackman");
    feed(sine(hz, 16384));
    EXPECT_EQ(test::linesIn(form, TextColour::ChannelA), plain);
    EXPECT_NE(plain.find("Частота 1.00037 кГц  Амплитуда 500 мВ"), std::string::npos) << plain;
}

}  // namespace
}  // namespace mirel::test
