#include "density/DensityScales.h"

#include "common/ValueFormat.h"

#include <algorithm>

namespace mirel::pv {

int SetNewBufSize(int sampleRate, int refreshRate)
{
    return refreshRate >= 1 ? sampleRate / refreshRate : 0;
}

double ScaleAt(int position)
{
    return position * 0.1;
}

std::string ScaleCaption(double scale)
{
    return GeneralFloatText(scale * 0.1) + "/дел";
}

std::string RefreshRateCaption(int rate)
{
    const bool few = rate >= 2 && rate <= 4;
    return "Скорость обновления (" + std::to_string(rate) + (few ? " раза/с)" : " раз/с)");
}

PlotGeometry PlotGeometry::FromSurface(int surfaceWidth, int surfaceHeight)
{
    PlotGeometry r;
    r.SurfaceWidth = surfaceWidth;
    r.SurfaceHeight = surfaceHeight;
    r.PlotWidth = std::max(surfaceWidth - MarginLeft - MarginRight, 0);
    r.PlotHeight = std::max(surfaceHeight - MarginTop - MarginBottom, 0);
    return r;
}

PlotRect PlotGeometry::Plot() const
{
    return {static_cast<double>(PlotLeft), static_cast<double>(PlotTop), static_cast<double>(PlotWidth),
            static_cast<double>(PlotHeight)};
}

}  // namespace mirel::pv
