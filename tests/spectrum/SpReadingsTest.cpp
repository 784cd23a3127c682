// The spectrum analyser's value under the cursor over a known spectrum.
#include "SpWindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>

namespace mirel::test {
namespace {

struct SpReadingsTest : SpWindowFixture {
    std::vector<std::string> linesAt(int x)
    {
        const QPoint at(x, form.geometry().PlotTop + 10);
        QMouseEvent move(QEvent::MouseMove, at, form.pbSP->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(form.pbSP, &move);
        std::vector<std::string> texts;
        for (const ReadingLine& line : form.Readings())
            texts.push_back(line.Text);
        return texts;
    }
};

TEST_F(SpReadingsTest, CursorReadsTheFrequencyAndLevelOfTheBinUnderIt)
{
    // 1500 Hz lies on bin 64; a peak of 0.5 V reads 0.5 V there and next to nothing a few bins off.
    feed(sine(1500, 16384));
    form.readingsAction()->trigger();
    EXPECT_EQ(linesAt(columnOf(1500)), (std::vector<std::string>{"f = 1500 Гц", "A: 500 мВ"}));
    const std::vector<std::string> off = linesAt(columnOf(3000));
    ASSERT_EQ(off.size(), 2u);
    EXPECT_EQ(off[0].substr(0, 6), "f = 29");
    EXPECT_NE(off[1], "A: 500 мВ");
}

}  // namespace
}  // namespace mirel::test
