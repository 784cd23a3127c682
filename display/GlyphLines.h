#pragma once
// Lines of plain text laid out straight from the font's glyph table and kerned advances and written
// pixel by pixel from each glyph's picture, for texts written anew on every block (the readings):
// Qt's shaping and painting of a dozen such lines costs more than the rest of a block's drawing.
// The pixels are Qt's own (each glyph is painted once by Qt and kept); a line with a character the
// font lacks, or a font drawn with antialiasing, goes through Qt's own layout and painting.

#include "common/DisplayPalette.h"

#include <QFont>
#include <QImage>
#include <QPointF>
#include <QRawFont>
#include <QRect>
#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace mirel {

class GlyphLines {
public:
    // The font the lines are written in; a different one is looked up again.
    void setFont(const QFont& font);
    // Width of `text` in pixels.
    int width(const QString& text);
    // Writes `text` in `colour` into `image` with its baseline's left end at `origin`; the glyphs'
    // background stays. Returns the rectangle that holds every pixel set.
    QRect write(QImage& image, QPoint origin, Rgb colour, const QString& text);

private:
    struct Line {
        QString Text;
        bool Laid = false;  // false: the font lacks a character, Qt lays the line out
        double Width = 0;
        std::vector<quint32> Glyphs;
        std::vector<QPointF> Positions;
    };
    // A glyph's pixels: the box that holds them, its top-left corner at (Left, Top) from the pen's
    // position on the baseline, and the set ones (x, y) within the box.
    struct GlyphPixels {
        int Left = 0, Top = 0, Width = 0, Height = 0;
        std::vector<QPoint> Set;
    };
    // The line of `text`, laid out unless it is among the last ones (a box's lines are measured,
    // then drawn).
    const Line& layOut(const QString& text);
    // The glyph's place in pixels_, its pixels taken from Qt the first time.
    int slotOf(quint32 glyph);
    QRect writeWithQt(QImage& image, QPoint origin, Rgb colour, const QString& text) const;

    QFont font_;
    QRawFont raw_;
    bool ownPixels_ = false;  // the font is drawn without antialiasing: a pixel is set or not
    std::array<Line, 32> lines_;
    std::size_t next_ = 0;
    std::vector<QPointF> advances_;
    std::vector<int> slots_;  // by glyph index: its place in pixels_, or -1
    std::vector<GlyphPixels> pixels_;
};

}  // namespace mirel
