#pragma once
// The canvas's own pixel work: one-pixel lines and polylines written straight into the picture's
// scan lines, and the areas of the picture that operations change. Kept apart from the canvas,
// which adds pens, painters and the owner's hooks.

#include <QImage>
#include <QPoint>
#include <QRect>

namespace mirel {

// Draws the one-pixel polyline through `count` points, without its last pixel, in `ink`; dotted
// when `gap` is given (3 pixels in ink, 3 in gap, the pattern running on from line to line); a
// gap of 0 leaves the gap's pixels as they are.
// Points may lie anywhere in the int range. Returns the box around the pixels set, empty when
// none lay on the picture.
QRect DrawThinPolyline(QImage& image, const QPoint* points, int count, QRgb ink, const QRgb* gap);

// The box around `count` points widened by `reach` on every side, as far as it lies on the picture.
QRect PointsArea(const QImage& image, const QPoint* points, int count, int reach);

// The part of left <= x < right, top <= y < bottom that lies on the picture; empty when none.
// Wide arithmetic, so that rectangles reaching past the int range come out right.
QRect OnPicture(const QImage& image, long long left, long long top, long long right, long long bottom);

}  // namespace mirel
