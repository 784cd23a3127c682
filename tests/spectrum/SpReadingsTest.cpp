// The spectrum analyser's value under the cursor over a known spectrum.
#include "SpWindowFixture.h"
#include "support/ReadingLines.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMouseEvent>

namespace mirel::test {
namespace {

struct SpReadingsTest : SpWindowFixture {
    std::string linesIn(TextColour colour) { return test::linesIn(form, colour); }
    std::vector<std::string> linesAt(int x)
    {
        test::moveMouse(form.pbSP, QPoint(x, form.geometry().PlotTop + 10));
        return test::cursorTexts(form);
    }
};

TEST_F(SpReadingsTest, CursorReadsTheFrequencyAndLevelOfTheBinUnderIt)
{
    // 1523.4 Hz lies on bin 65, which shares its column with bin 64: the column reads the bin its
    // curve rises to. A peak of 0.5 V reads 0.5 V there and next to nothing far off.
    const double hz = 65 * 23.4375;
    feed(sine(hz, 16384));
    form.readingsAction()->trigger();
    EXPECT_EQ(linesAt(columnOf(hz)), (std::vector<std::string>{"f = 1523 Гц", "A: 500 мВ"}));
    const std::vector<std::string> off = linesAt(columnOf(3000));
    ASSERT_EQ(off.size(), 2u);
    EXPECT_NE(off[0], "f = 1523 Гц");
    EXPECT_NE(off[1], "A: 500 мВ");

    // A new block under the readings: once they are off, the picture is that block's alone.
    feed(sine(3000, 8000));
    form.readingsAction()->trigger();
    const QImage taken = form.screenImage().copy();
    feed(sine(3000, 8000));
    EXPECT_EQ(taken, form.screenImage());
}

TEST_F(SpReadingsTest, BoxMeasuresEachShownChannelOfEachBlock)
{
    form.cb2k->setChecked(true);
    feed(sine(65 * 23.4375, 16384), sine(3000, 8000));
    form.readingsAction()->trigger();
    const std::string a = linesIn(TextColour::ChannelA), b = linesIn(TextColour::ChannelB);
    EXPECT_NE(a.find("Частота 1.52344 кГц  Амплитуда 500 мВ"), std::string::npos) << a;
    EXPECT_NE(b.find("Частота 3.00000 кГц  Амплитуда 244 мВ"), std::string::npos) << b;

    form.cb2k->setChecked(false);
    feed(sine(6000, 16384));
    EXPECT_NE(linesIn(TextColour::ChannelA).find("Частота 6.00000 кГц"), std::string::npos) << linesIn(TextColour::ChannelA);
    EXPECT_EQ(linesIn(TextColour::ChannelB), "");
}

}  // namespace
}  // namespace mirel::test
