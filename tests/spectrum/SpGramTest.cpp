// The spectrogram view in the window: switched by F3, a line per block of a line's step once a
// transform's worth has come, A's and B's stripes coloured by level, the value under the cursor
// and the kept lines as CSV.
#include "SpWindowFixture.h"
#include "spectrum/ColourMaps.h"
#include "support/ExportScript.h"
#include "support/ReadingLines.h"

#include <QCheckBox>
#include <QKeyEvent>

namespace mirel::test {
namespace {

struct SpGramTest : SpWindowFixture {
    ExportScript script;
    int frame = 0;  // the signal runs on from block to block

    void SetUp() override
    {
        SpWindowFixture::SetUp();
        script.attach(form);
        form.cb2k->setChecked(true);
        QKeyEvent f3(QEvent::KeyPress, Qt::Key_F3, Qt::NoModifier);
        QCoreApplication::sendEvent(&form, &f3);
        ASSERT_TRUE(form.view().Spectrogram);
    }
    void feedBlocks(double hz, double peak, int blocks)
    {
        for (int i = 0; i < blocks; ++i) {
            const int start = frame;
            feed([start, s = sine(hz, peak)](int f) { return s(start + f); });
            frame += form.BufferBytes / 4;
        }
    }
    Rgb pixel(int x, int y) const { return form.screenImage().pixel(x, y) & 0xFFFFFF; }
};

TEST_F(SpGramTest, LinesComeOnePerBlockAndShowTheToneInItsChannelOnly)
{
    ASSERT_EQ(form.BufferBytes / 4, 960);  // 50 lines a second at 48 kHz
    const int before = form.BlockCounter;
    const double hz = 43 * 23.4375;  // on a bin: 0.1 V reads −20 dBV
    feedBlocks(hz, 3276.8, 12);
    // The first line needs 2048 samples, three blocks; then each block brings one.
    EXPECT_EQ(form.spectrogramLines().Count(), 10);
    EXPECT_EQ(form.BlockCounter - before, 10);

    const auto& stripes = form.spectrogramLayout().Stripes;
    ASSERT_EQ(stripes.size(), 2u);
    const int x = columnOf(hz), topA = stripes[0].Plot.PlotTop, topB = stripes[1].Plot.PlotTop;
    const auto& viridis = spectrum::ColourTableOf(spectrum::ColourMap::Viridis);
    const auto colourOf = [&](double db) {
        return viridis[static_cast<std::size_t>(spectrum::ColourIndex(db, 0, 100))];
    };
    EXPECT_EQ(pixel(x, topA), colourOf(-20) & 0xFFFFFF);
    EXPECT_EQ(pixel(x, topA + 9), colourOf(-20) & 0xFFFFFF);  // the oldest line
    EXPECT_EQ(pixel(x, topB), viridis[0] & 0xFFFFFF);

    // The colours follow the map and the dB range, drawn again from the kept lines.
    form.setViewChoice("colourMap", "grey");
    form.setViewChoice("dbTop", "20");
    QCoreApplication::processEvents();
    const auto& grey = spectrum::ColourTableOf(spectrum::ColourMap::Grey);
    EXPECT_EQ(pixel(x, topA + 9), grey[static_cast<std::size_t>(spectrum::ColourIndex(-20, 20, 100))] & 0xFFFFFF);

    form.readingsAction()->trigger();
    moveMouse(form.pbSP, QPoint(x, topA + 2));
    const std::vector<std::string> texts = cursorTexts(form);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], "0.04 с назад");  // the third line from the top
    EXPECT_EQ(texts[1], "f = 1007 Гц");
    EXPECT_EQ(texts[2], "A: -20 дБВ");

    const CsvFile csv = script.saveData(form, "gram");
    ASSERT_GE(csv.Header.size(), 3);
    EXPECT_EQ(csv.Header.mid(0, 2), (QStringList{"channel", "time_s"}));
    ASSERT_EQ(csv.Rows.size(), 20u);  // ten lines of A and B
    EXPECT_DOUBLE_EQ(csv.Column("time_s").back(), 9 * 0.02);
}

TEST_F(SpGramTest, AFrozenPictureStaysWhileItsLinesRunOn)
{
    feedBlocks(1500, 3276.8, 4);
    const QImage before = form.screenImage().copy();
    form.pbSPMouseDown(Qt::LeftButton, {});  // frozen
    feedBlocks(3000, 3276.8, 3);
    EXPECT_EQ(form.screenImage(), before);
    EXPECT_EQ(form.spectrogramLines().Count(), 5);
    form.pbSPMouseDown(Qt::LeftButton, {});
    feedBlocks(3000, 3276.8, 1);
    // All six lines drawn: the two newest hold 3 kHz alone, the two oldest 1500 Hz alone.
    const int top = form.spectrogramLayout().Stripes[0].Plot.PlotTop, x = columnOf(3000);
    EXPECT_EQ(pixel(x, top + 1), pixel(x, top));
    EXPECT_NE(pixel(x, top + 4), pixel(x, top));
}

}  // namespace
}  // namespace mirel::test
