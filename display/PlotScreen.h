#pragma once
// What every graphical display draws around its curves: the frame of the surface and the outline
// of the plot, grid lines (dotted, with solid centre lines), the erasing of the curves drawn last
// (drawn again in the background colour), the curves themselves, and placed texts with their
// clear rectangles, each label left out where it would touch a text already shown, and the box of
// readings. Free functions over a canvas, so each display keeps its own rules of where.

#include "common/DisplayPalette.h"
#include "common/PlotRect.h"
#include "common/PlotText.h"
#include "common/ScreenPoint.h"
#include "display/Canvas.h"
#include "display/GlyphLines.h"

#include <QImage>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace mirel {

// One line of a display's readings, in the colour of the channel it reads (`Frame` for others).
struct ReadingLine {
    std::string Text;  // UTF-8
    TextColour Colour = TextColour::Frame;
};

}  // namespace mirel

namespace mirel::plot {

// The outline through (left, top), (right, top), (right, bottom), (left, bottom) and back, in the
// present pen; each corner set once.
void Outline(Canvas& canvas, int left, int top, int right, int bottom);

// The surface's frame two pixels wide in `Frame`, a ring of `Background` inside it, and the plot's
// outline one pixel outside the plot area in `Frame`. Leaves a solid 1-pixel pen.
void PaintBorders(Canvas& canvas, const DisplayPalette& palette, int surfaceWidth, int surfaceHeight,
                  const PlotRect& plot);

enum class Pen { Dotted, Solid, Dots };

// Sets the pen for grid lines: 1 pixel, dotted (gaps in `Background`), dots (gaps untouched, over
// a picture) or solid, in `colour`.
void GridPen(Canvas& canvas, const DisplayPalette& palette, Rgb colour, Pen pen);
// One line across the whole plot height at x / across the plot width at y, in the present pen.
void VerticalLine(Canvas& canvas, const PlotRect& plot, int x);
void HorizontalLine(Canvas& canvas, const PlotRect& plot, int y);

// Lines at trunc(Left + Width / divisions × i) (vertical) or trunc(Top + Height / divisions × i)
// (horizontal) for i = 1 … divisions − 1, dotted in `Grid`; then, when `centre` is set, the solid
// centre line in `Frame` at trunc(Left + Width / 2) or trunc(Top + Height / 2).
void VerticalDivisions(Canvas& canvas, const DisplayPalette& palette, const PlotRect& plot, int divisions, bool centre);
void HorizontalDivisions(Canvas& canvas, const DisplayPalette& palette, const PlotRect& plot, int divisions,
                         bool centre);

// A curve as a polyline in `colour`, `width` pixels wide, solid.
void DrawCurve(Canvas& canvas, Rgb colour, int width, std::span<const ScreenPoint> points);
// Draws the curves as last drawn again in `Background`, which erases every pixel they set.
void EraseCurves(Canvas& canvas, const DisplayPalette& palette, int width, std::span<const ScreenPoint> a,
                 std::span<const ScreenPoint> b);

// The texts a display shows now, part by part, with the boxes of their glyphs: what the texts
// drawn later keep clear of. A part drawn again replaces its texts; a cleared picture clears all.
class ShownTexts {
public:
    enum class Part { Horizontal, Left, Right, Band };
    struct Shown {
        PlacedText Text;
        TextBox Box;
    };

    void clear() { parts_.clear(); }
    void set(Part part, std::vector<Shown> texts) { parts_[part] = std::move(texts); }
    // The boxes of every part but `except`.
    std::vector<TextBox> boxesBut(Part except) const;
    std::vector<PlacedText> texts() const;

private:
    std::map<Part, std::vector<Shown>> parts_;
};

// The box of a text's glyphs where it is placed, in the canvas's font of its weight.
TextBox GlyphBox(const Canvas& canvas, const PlacedText& text);

// The scheme's colour of a text role.
Rgb ColourOf(const DisplayPalette& palette, TextColour role);
// Fills the texts' clear rectangle with `Background`, then writes each text that FitTexts keeps
// clear of the other parts in `shown` on a `Background` cell in its colour and weight, and notes
// the texts drawn as `part`. Leaves the normal weight.
void DrawTexts(Canvas& canvas, const DisplayPalette& palette, const AxisTexts& texts, ShownTexts& shown,
               ShownTexts::Part part);
// The title band of a saved picture, normal weight in `Frame` on `Background`: the first of `forms`
// (longest first) that fits in the row at `y` clear of every text shown, at the column nearest `x`
// between the surface's frame lines; the last form at `x` when none fits. Noted as the Band part.
PlacedText DrawBand(Canvas& canvas, const DisplayPalette& palette, ShownTexts& shown,
                    const std::vector<std::string>& forms, int x, int y, int surfaceWidth);
// A bold notice across the upper half of the plot, centred, in `Frame` on `Background`.
void DrawNotice(Canvas& canvas, const DisplayPalette& palette, const PlotRect& plot, const QString& text);

// The readings box: its lines, each in the colour of what it reads, on an opaque `Background`
// inside a `Frame` outline, in a corner of the plot (top right, top left, bottom right, bottom
// left, the first that comes too close to none of `taken`, one off the cursor's column `cursorX`
// before one over it). It takes at most half the plot's height; lines beyond that, or that fit in
// no corner, are left out from the end. Area: the pixels the box covers (empty when no line fits).
struct ReadingsBox {
    QRect Area;
    int Lines = 0;
};
// The lines are laid out by `glyphs`, which keeps them for DrawReadings.
ReadingsBox PlaceReadings(const Canvas& canvas, GlyphLines& glyphs, const PlotRect& plot,
                          const std::vector<ReadingLine>& lines, const std::vector<TextBox>& taken, int cursorX = -1);
void DrawReadings(Canvas& canvas, GlyphLines& glyphs, const DisplayPalette& palette, const ReadingsBox& box,
                  const std::vector<ReadingLine>& lines);

}  // namespace mirel::plot
