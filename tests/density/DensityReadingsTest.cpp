// The density window's value under the cursor over a known curve.
#include "DensityBlocks.h"
#include "density/DensityCursor.h"
#include "density/TFormPV.h"
#include "support/ReadingLines.h"
#include "support/ScriptedWindowTest.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QMouseEvent>

using namespace mirel;

namespace {

struct DensityReadingsTest : test::ScriptedWindowTest {
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
    std::string linesIn(TextColour colour) { return test::linesIn(form, colour); }
    std::vector<std::string> linesAt(int x)
    {
        test::moveMouse(form.pbPV, QPoint(x, form.geometry().PlotTop + 10));
        return test::cursorTexts(form);
    }
};

TEST_F(DensityReadingsTest, CursorReadsTheLevelAndTheCurveOfItsColumn)
{
    // Every sample of A at level 192 (+0.5 V): its normalised curve is 1 there and 0 elsewhere.
    deliver([](int byte) { return static_cast<std::uint8_t>(byte % 2 == 0 ? 192 : 128); });
    form.readingsAction()->trigger();
    EXPECT_EQ(linesAt(pv::BinX(form.geometry(), 192)), (std::vector<std::string>{"U = 500 мВ", "A: 1"}));
    EXPECT_EQ(linesAt(pv::BinX(form.geometry(), 64)), (std::vector<std::string>{"U = -500 мВ", "A: 0.0"}));
    EXPECT_TRUE(linesAt(form.geometry().PlotLeft - 1).empty());

    // A new block under the readings: once they are off, the picture is that block's alone.
    linesAt(pv::BinX(form.geometry(), 192));
    const auto level64 = [](int byte) { return static_cast<std::uint8_t>(byte % 2 == 0 ? 64 : 128); };
    deliver(level64);
    form.readingsAction()->trigger();
    const QImage taken = form.screenImage().copy();
    deliver(level64);
    EXPECT_EQ(taken, form.screenImage());
}

TEST_F(DensityReadingsTest, BoxMeasuresEachShownChannelOfEachBlock)
{
    form.cb2k->setChecked(true);
    // A: levels 192 and 64 in turn (±0.5 V); B: every sample at the top of the range, clipped.
    deliver([](int byte) { return static_cast<std::uint8_t>(byte % 2 ? 255 : byte % 4 ? 64 : 192); });
    form.readingsAction()->trigger();
    const std::string a = linesIn(TextColour::ChannelA), b = linesIn(TextColour::ChannelB);
    EXPECT_NE(a.find("Среднее 0.0 В  СКО 500 мВ"), std::string::npos) << a;
    EXPECT_NE(a.find("Ограничено 0.0 %"), std::string::npos) << a;
    EXPECT_NE(b.find("Среднее 992 мВ"), std::string::npos) << b;
    EXPECT_NE(b.find("Ограничено 100 %"), std::string::npos) << b;

    form.cb2k->setChecked(false);
    deliver([](int byte) { return static_cast<std::uint8_t>(byte % 2 ? 128 : 64); });
    EXPECT_NE(linesIn(TextColour::ChannelA).find("Среднее -500 мВ"), std::string::npos)
        << linesIn(TextColour::ChannelA);
    EXPECT_EQ(linesIn(TextColour::ChannelB), "");
}

}  // namespace
