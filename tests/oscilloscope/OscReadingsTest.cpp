// The oscilloscope's readings: the switch and the value under the cursor over a known trace.
#include "OscWindowFixture.h"
#include "oscilloscope/CursorReadout.h"
#include "support/ReadingLines.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QMouseEvent>

namespace mirel::test {
namespace {

struct OscReadingsTest : OscWindowFixture {
    void moveTo(QPoint at) { test::moveMouse(form.pbOS, at); }
    // F2 pressed over the display: the surface passes it on to the window.
    void pressF2()
    {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_F2, Qt::NoModifier);
        QApplication::sendEvent(form.pbOS, &press);
    }
    void leave()
    {
        QEvent leaving(QEvent::Leave);
        QApplication::sendEvent(form.pbOS, &leaving);
    }
    QImage plotArea() const
    {
        const auto& g = form.geometry();
        return form.screenImage().copy(static_cast<int>(g.PlotLeft) - 1, static_cast<int>(g.PlotTop) - 1,
                                       static_cast<int>(g.PlotWidth) + 2, static_cast<int>(g.PlotHeight) + 2);
    }
    std::string linesIn(TextColour colour) { return test::linesIn(form, colour); }
    std::vector<std::string> shownLines() { return test::cursorTexts(form); }
};

TEST_F(OscReadingsTest, F2AndTheMenuItemShowTheReadingsAndTakeThemOffWithoutARemnant)
{
    show(sine);
    const QImage before = plotArea();
    const QPoint inside(static_cast<int>(form.geometry().PlotLeft) + 100, middle() + 20);
    struct Toggle {
        const char* what;
        std::function<void(OscReadingsTest&)> on, off;
    } toggles[] = {
        {"F2", [](auto& t) { t.pressF2(); }, [](auto& t) { t.pressF2(); }},
        {"menu", [](auto& t) { t.form.readingsAction()->trigger(); },
         [](auto& t) { t.form.readingsAction()->trigger(); }},
        {"leaving the plot", [](auto& t) { t.form.readingsAction()->trigger(); }, [](auto& t) { t.leave(); }},
    };
    ASSERT_FALSE(form.readingsOn());
    for (const Toggle& t : toggles) {
        SCOPED_TRACE(t.what);
        t.on(*this);
        ASSERT_TRUE(form.readingsOn());
        EXPECT_TRUE(form.readingsAction()->isChecked());
        const QImage measurementsOnly = plotArea();
        moveTo(inside);
        EXPECT_NE(plotArea(), measurementsOnly) << "no cursor readout was drawn";
        t.off(*this);
        // Leaving the plot takes the cursor readout off and leaves the measurements.
        EXPECT_EQ(plotArea(), form.readingsOn() ? measurementsOnly : before) << "something of the readings remains";
        if (form.readingsOn())
            form.readingsAction()->trigger();
    }
    // With readings off the mouse changes nothing.
    moveTo(inside);
    EXPECT_EQ(plotArea(), before);

    // A new block redraws the readings over the new curves, and they still come off cleanly.
    pressF2();
    moveTo(inside);
    show(silence);
    const QImage withReadings = plotArea();
    pressF2();
    const QImage taken = plotArea();
    show(silence);
    EXPECT_NE(withReadings, plotArea()) << "the readings were not drawn again after the block";
    EXPECT_EQ(taken, plotArea()) << "something of the earlier picture came back";
}

TEST_F(OscReadingsTest, CursorReadsTheTraceSamplesAndTimeOfItsColumn)
{
    form.cb2k->setChecked(true);
    // A: the fixture's 1 kHz sine of 16000; B: a ramp, so every point differs from its neighbours.
    const auto ramp = [](int frame) { return static_cast<std::int16_t>(40 * frame - 20000); };
    show(sine, ramp);
    form.readingsAction()->trigger();
    const auto& g = form.geometry();
    const int points = form.screenPoints();
    const double step = g.PlotWidth / (points - 1);
    for (const int j : {0, points / 3, points - 2}) {
        SCOPED_TRACE(j);
        moveTo(QPoint(static_cast<int>(g.PlotLeft + j * step), middle()));
        const double a = sine(osc::BlockLeadIn + form.triggers().TriggerA + j) / 32768.0;
        const double b = ramp(osc::BlockLeadIn + form.triggers().TriggerB + j) / 32768.0;
        EXPECT_EQ(shownLines(), (std::vector<std::string>{osc::TimeText((j - (points - 1) / 2.0) / 48000),
                                                          osc::SampleText("A", a), osc::SampleText("B", b)}));
    }
    leave();
    EXPECT_TRUE(shownLines().empty());
}

TEST_F(OscReadingsTest, BoxMeasuresEachShownChannelOfEachBlock)
{
    form.cb2k->setChecked(true);
    show(sine, risingSine(24, 5, 8000));  // A: 1 kHz of 16000, B: 2 kHz of 8000
    form.readingsAction()->trigger();
    const std::string a = linesIn(TextColour::ChannelA), b = linesIn(TextColour::ChannelB);
    EXPECT_NE(a.find("Частота 1.000 кГц"), std::string::npos) << a;
    EXPECT_NE(a.find("СКЗ 345 мВ"), std::string::npos) << a;
    EXPECT_NE(b.find("Частота 2.000 кГц"), std::string::npos) << b;
    EXPECT_NE(b.find("СКЗ 173 мВ"), std::string::npos) << b;

    form.cb2k->setChecked(false);
    show(risingSine(16, 5, 16000));
    EXPECT_NE(linesIn(TextColour::ChannelA).find("Частота 3.000 кГц"), std::string::npos) << linesIn(TextColour::ChannelA);
    EXPECT_EQ(linesIn(TextColour::ChannelB), "");
}

}  // namespace
}  // namespace mirel::test
