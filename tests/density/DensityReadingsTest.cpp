// The density window's value under the cursor over a known curve.
#include "DensityBlocks.h"
#include "density/DensityCursor.h"
#include "density/TFormPV.h"
#include "support/ScriptedWindowTest.h"

#include <QAction>
#include <QApplication>
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
    std::vector<std::string> linesAt(int x)
    {
        const QPoint at(x, form.geometry().PlotTop + 10);
        QMouseEvent move(QEvent::MouseMove, at, form.pbPV->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(form.pbPV, &move);
        std::vector<std::string> texts;
        for (const ReadingLine& line : form.Readings())
            texts.push_back(line.Text);
        return texts;
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

}  // namespace
