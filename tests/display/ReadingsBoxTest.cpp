// Where the readings box goes: a free corner of the plot, off the cursor, dropping lines that fit
// nowhere; and its lines, laid out glyph by glyph, written exactly as Qt writes them.

#include "display/AppFont.h"
#include "display/Canvas.h"
#include "display/GlyphLines.h"
#include "display/PlotScreen.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace mirel;

namespace {

TEST(ReadingsBox, TakesTheFirstFreeCornerOffTheCursorAndDropsLinesThatDoNotFit)
{
    QImage image(200, 120, QImage::Format_RGB32);
    Canvas canvas(image);
    const PlotRect plot{42, 22, 116, 76};  // inner corners (43, 23) and (156, 96)
    const TextBox topRight{150, 24, 155, 28}, topLeft{44, 24, 48, 28};
    const TextBox bottomRight{150, 90, 155, 95}, bottomLeft{44, 90, 48, 95};
    enum Corner { TR, TL, BR, BL, None };
    struct Case {
        const char* what;
        int lines;
        std::vector<TextBox> taken;
        int cursorX;
        Corner corner;
        bool allLines;
    } cases[] = {
        {"top right when free", 2, {}, -1, TR, true},
        {"a text there moves it left", 2, {topRight}, -1, TL, true},
        {"the cursor under it moves it left", 2, {}, 150, TL, true},
        {"the cursor elsewhere leaves it", 2, {}, 60, TR, true},
        {"both top corners taken: bottom right", 2, {topRight, topLeft}, -1, BR, true},
        {"three taken: bottom left", 2, {topRight, topLeft, bottomRight}, -1, BL, true},
        {"over the cursor rather than over a text", 2, {topLeft, bottomRight, bottomLeft}, 150, TR, true},
        {"all taken: no box", 2, {topRight, topLeft, bottomRight, bottomLeft}, -1, None, false},
        {"more than half the plot's height: the last lines dropped", 5, {}, -1, TR, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<ReadingLine> lines(static_cast<std::size_t>(c.lines), ReadingLine{"0,5 В"});
        GlyphLines glyphs;
        const plot::ReadingsBox box = plot::PlaceReadings(canvas, glyphs, plot, lines, c.taken, c.cursorX);
        if (c.corner == None) {
            EXPECT_EQ(box.Lines, 0);
            EXPECT_TRUE(box.Area.isEmpty());
            continue;
        }
        EXPECT_EQ(box.Area.top() == 23, c.corner == TR || c.corner == TL);
        EXPECT_EQ(box.Area.bottom() == 96, c.corner == BR || c.corner == BL);
        EXPECT_EQ(box.Area.left() == 43, c.corner == TL || c.corner == BL);
        EXPECT_EQ(box.Area.right() == 156, c.corner == TR || c.corner == BR);
        if (c.allLines)
            EXPECT_EQ(box.Lines, c.lines);
        else
            EXPECT_TRUE(box.Lines > 0 && box.Lines < c.lines && box.Area.height() <= 37) << box.Lines;
    }
}

// Kerned pairs, both weights, a line measured and then drawn, a line cut by the picture's edge,
// characters the display font lacks and a font with smoothing (both left to Qt).
TEST(ReadingsBox, GlyphLinesWriteWhatQtWrites)
{
    const char* const texts[] = {"A: Частота 1.00037 кГц  Амплитуда -6.02 дБВ", "AV To Ту ГА Ча «—» µ² 0,125 мВ",
                                 "B: 周波数 1 кГц"};
    for (const QFont& font : {displayFont(false), displayFont(true), appFont()}) {
        GlyphLines glyphs;
        for (const char* text : texts) {
            for (const int x : {3, -20}) {
                SCOPED_TRACE(testing::Message() << text << " at " << x << " in " << font.toString().toStdString());
                const QString line = QString::fromUtf8(text);
                QImage qt(300, 20, QImage::Format_RGB32), ours(300, 20, QImage::Format_RGB32);
                qt.fill(Qt::white);
                ours.fill(Qt::white);
                Canvas canvas(ours);
                canvas.setFont(font);
                canvas.setTextColor(0x800000);
                const QFontMetrics metrics(canvas.font(), &qt);
                EXPECT_EQ(canvas.textWidth(line), (glyphs.setFont(canvas.font()), glyphs.width(line)));
                canvas.glyphsOut(x, 3 + metrics.ascent(), glyphs, line);
                QPainter painter(&qt);
                painter.setRenderHint(QPainter::TextAntialiasing, false);
                painter.setFont(canvas.font());
                painter.setPen(QColor(0x800000));
                painter.drawText(QPoint(x, 3 + metrics.ascent()), line);
                painter.end();
                EXPECT_EQ(ours, qt);
            }
        }
    }
}

}  // namespace
