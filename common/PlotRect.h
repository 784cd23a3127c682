#pragma once
// The plot area of a display inside its drawing surface, in pixels of the surface. Real-valued as
// the scales compute it; drawing truncates toward zero.

namespace mirel {

struct PlotRect {
    double Left = 0;
    double Top = 0;
    double Width = 0;
    double Height = 0;

    double Right() const { return Left + Width; }
    double Bottom() const { return Top + Height; }
};

}  // namespace mirel
