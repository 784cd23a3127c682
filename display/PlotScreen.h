#pragma once
// What every graphical display draws around its curves: the frame of the surface and the outline
// of the plot, grid lines (dotted, with solid centre lines), the erasing of the curves drawn last
// (drawn again in the background colour), the curves themselves, and placed texts with their
// clear rectangles. Free functions over a canvas, so each display keeps its own rules of where.

#include "common/DisplayPalette.h"
#include "common/PlotRect.h"
#include "common/PlotText.h"
#include "common/ScreenPoint.h"
#include "display/Canvas.h"

#include <span>

namespace mirel::plot {

// The outline through (left, top), (right, top), (right, bottom), (left, bottom) and back, in the
// present pen; each corner set once.
void Outline(Canvas& canvas, int left, int top, int right, int bottom);

// The surface's frame two pixels wide in `Frame`, a ring of `Background` inside it, and the plot's
// outline one pixel outside the plot area in `Frame`. Leaves a solid 1-pixel pen.
void PaintBorders(Canvas& canvas, const DisplayPalette& palette, int surfaceWidth, int surfaceHeight,
                  const PlotRect& plot);

enum class Pen { Dotted, Solid };

// Sets the pen for grid lines: 1 pixel, dotted (gaps in `Background`) or solid, in `colour`.
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

// The scheme's colour of a text role.
Rgb ColourOf(const DisplayPalette& palette, TextColour role);
// Fills the texts' clear rectangle with `Background`, then writes each text on a `Background`
// cell in its colour and weight. Leaves the normal weight.
void DrawTexts(Canvas& canvas, const DisplayPalette& palette, const AxisTexts& texts);
// A bold notice across the upper half of the plot, centred, in `Frame` on `Background`.
void DrawNotice(Canvas& canvas, const DisplayPalette& palette, const PlotRect& plot, const QString& text);

}  // namespace mirel::plot
