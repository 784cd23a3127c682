// The oscilloscope's controls acting on what the screen shows, fed through the scripted input:
// synchronisation, each channel's sensitivity and shift, the shifts across a resize, and a time-base
// step while the window is being closed.
#include "OscWindowFixture.h"
#include "display/UpDown.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <QToolButton>
#include <algorithm>
#include <set>

using namespace mirel;

namespace {

using OscControlsTest = test::OscWindowFixture;

// Height of a trace in pixels, top to bottom.
int span(const std::vector<ScreenPoint>& trace)
{
    const auto [low, high] = std::minmax_element(trace.begin(), trace.end(),
                                                 [](const ScreenPoint& p, const ScreenPoint& q) { return p.y < q.y; });
    return high->y - low->y;
}

TEST_F(OscControlsTest, TheSyncBoxChoosesWhereEachTraceStarts)
{
    // A rises through zero 30 frames into the trigger search, B 70 frames in. Where no trigger
    // applies the picture starts at the search's first frame: A near its trough, B near its crest.
    // At A's crossing B is low; at B's crossing A is high.
    form.cb2k->setChecked(true);
    struct Case {
        int item;
        char startA, startB;  // '-' on the centre line, '^' above it, 'v' below it
    };
    for (const Case& c : {Case{0, 'v', '^'}, Case{2, '-', '^'}, Case{3, 'v', '-'}, Case{4, '-', 'v'}, Case{5, '^', '-'},
                          Case{1, '-', '-'}}) {
        form.cbSinchro->setCurrentIndex(c.item);
        show(risingSine(96, 230, 30000), risingSine(96, 270, 30000));
        auto where = [this](const std::vector<ScreenPoint>& trace) {
            const int offset = trace.front().y - middle();
            return std::abs(offset) <= 3 ? '-' : offset < -15 ? '^' : offset > 15 ? 'v' : '?';
        };
        EXPECT_EQ(where(form.traces().TraceA), c.startA) << form.cbSinchro->currentText().toStdString();
        EXPECT_EQ(where(form.traces().TraceB), c.startB) << form.cbSinchro->currentText().toStdString();
    }
}

TEST_F(OscControlsTest, EachSensitivitySpinnerScalesItsOwnChannel)
{
    form.cb2k->setChecked(true);
    show(sine, sine);
    const int start = span(form.traces().TraceA);
    ASSERT_EQ(span(form.traces().TraceB), start);
    const QString captionB = form.lbldb->text();

    form.udAY->stepDown();  // a finer scale: the trace grows
    EXPECT_GT(span(form.traces().TraceA), 2 * start);
    EXPECT_EQ(span(form.traces().TraceB), start);
    EXPECT_NE(form.lblda->text(), captionB);
    EXPECT_EQ(form.lbldb->text(), captionB);

    form.udBY->stepUp();  // a coarser scale: the trace shrinks
    EXPECT_GT(span(form.traces().TraceA), 2 * start);
    EXPECT_LT(span(form.traces().TraceB), start);
    EXPECT_NE(form.lbldb->text(), captionB);
}

TEST_F(OscControlsTest, EachShiftBarMovesItsOwnTraceAndTheZeroButtonsBringItBack)
{
    form.cb2k->setChecked(true);
    show(silence, silence);
    // Rows of the picture that a channel's colour is on.
    auto rows = [this](Rgb colour) {
        std::set<int> found;
        for (const QPoint& p : plotPixels(colour))
            found.insert(p.y());
        return found;
    };
    const Rgb a = WhiteScheme.ChannelA, b = WhiteScheme.ChannelB;

    form.tbAYShift->setValue(50);
    EXPECT_EQ(rows(a), std::set<int>{middle() - 50});
    EXPECT_EQ(rows(b), std::set<int>{middle()});
    form.tbBYShift->setValue(-30);
    EXPECT_EQ(rows(a), std::set<int>{middle() - 50});
    EXPECT_EQ(rows(b), std::set<int>{middle() + 30});

    form.tbXShift->setValue(40);
    const int left = static_cast<int>(form.geometry().PlotLeft);
    EXPECT_EQ(form.traces().TraceA.front().x, left + 40);
    EXPECT_EQ(form.traces().TraceB.front().x, left + 40);
    form.sbtnX0->click();
    EXPECT_EQ(form.tbXShift->value(), 0);
    EXPECT_EQ(form.traces().TraceA.front().x, left);

    form.sbtnAY0->click();
    EXPECT_EQ(form.tbAYShift->value(), 0);
    EXPECT_EQ(rows(a), std::set<int>{middle()});
    EXPECT_EQ(rows(b), std::set<int>{middle() + 30});
    form.sbtnBY0->click();
    EXPECT_EQ(form.tbBYShift->value(), 0);
    EXPECT_EQ(rows(b), std::set<int>{middle()});
}

TEST_F(OscControlsTest, AResizeKeepsTheShiftsInProportionToThePlot)
{
    show(silence);
    form.tbXShift->setValue(100);
    form.tbAYShift->setValue(60);
    const double width = form.geometry().PlotWidth, height = form.geometry().PlotHeight;

    form.resize(1000, 760);
    QCoreApplication::processEvents();
    const auto& g = form.geometry();
    ASSERT_GT(g.PlotWidth, width * 1.3);
    const int shiftX = static_cast<int>(100 * g.PlotWidth / width);
    const int shiftA = static_cast<int>(60 * g.PlotHeight / height);
    EXPECT_EQ(form.tbXShift->value(), shiftX);
    EXPECT_EQ(form.tbXShift->maximum(), static_cast<int>(g.PlotWidth / 2));
    EXPECT_EQ(form.traces().TraceA.front().x, static_cast<int>(g.PlotLeft) + shiftX);
    EXPECT_EQ(form.traces().TraceA.front().y, middle() - shiftA);
}

TEST_F(OscControlsTest, ATimeBaseStepWhileTheWindowClosesLeavesItStopped)
{
    // A switch to another instrument closes the window while the restart waits for the block in
    // flight.
    QTimer::singleShot(0, &form, [this] {
        form.close();
        input.completeBuffer();
    });
    form.udX->stepUp();
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.Running);
    EXPECT_EQ(input.openHandles, 0) << "no capture goes on in hiding";

    form.show();  // shown again, it captures with the new time base
    QCoreApplication::processEvents();
    EXPECT_TRUE(form.Running);
    EXPECT_EQ(form.BufferBytes, 607 * 4);
}

}  // namespace
