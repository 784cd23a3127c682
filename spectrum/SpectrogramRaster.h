#pragma once
// The spectrogram's picture of one channel: a ring of pixel rows, one per line, each bin coloured
// in the pixel columns the spectrum view gives it, so that the newest line is added without
// moving the older ones.

#include "spectrum/ColourMaps.h"
#include "spectrum/SpectrogramLines.h"
#include "spectrum/SpectrumBins.h"

#include <cstdint>
#include <span>
#include <vector>

namespace mirel::spectrum {

// Rows of the picture in the order they are shown, newest at the top: First the rows from the
// newest on to the ring's end, Second those from the ring's start; each part is contiguous.
struct RasterParts {
    std::span<const std::uint32_t> First;
    std::span<const std::uint32_t> Second;
    int FirstRows = 0;
    int SecondRows = 0;
};

class SpectrogramRaster {
public:
    // Lays the axis's shown bins (those of SpectrogramLines with this Axis()) out over a stripe of
    // the plot: PlotWidth pixels from PlotLeft, PlotHeight rows. Pixel column x − PlotLeft shows
    // the bins whose point the spectrum puts in column x, the largest of them; a column without a
    // bin of its own shows the bin on its left (the first bin, left of that), so the rows have no
    // holes. Nothing happens when axis and size are those already laid out; otherwise the picture
    // is emptied and true returned (then Redraw() it).
    bool Configure(const SpectrogramAxis& axis, const PlotGeometry& stripe);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Rows() const { return rows_; }  // rows drawn so far, at most Height()

    // Draws a line's levels (dB of each shown bin) as the new top row, coloured by the map from
    // top − span (its lowest colour, also for anything below) to top (its highest).
    void AddLine(std::span<const float> db, double top, double span, ColourMap map);
    // Draws the picture again from the stored lines of `channel` (0 for A), newest at the top:
    // after a change of size, colour range or map.
    void Redraw(const SpectrogramLines& lines, int channel, double top, double span, ColourMap map);

    // The shown bin whose level pixel column `column` (from the stripe's left) shows of the line
    // `db`: the largest of the column's bins; −1 outside the picture.
    int ShownBin(std::span<const float> db, int column) const;
    RasterParts Parts() const;
    std::span<const std::uint32_t> Row(int age) const;  // age 0: the newest row

private:
    void Colour(std::span<const float> db, double top, double span, ColourMap map, std::uint32_t* row) const;

    SpectrogramAxis axis_;
    PlotGeometry stripe_;
    bool laidOut_ = false;
    int width_ = 0, height_ = 0;
    int bins_ = 0;                         // shown bins
    std::vector<std::int32_t> from_, to_;  // per pixel column, its bins: from_ … to_ − 1
    LogBinColumns logColumns_;
    std::vector<std::uint32_t> pixels_;  // height_ rows of width_
    int newest_ = 0;                     // row of the newest line
    int rows_ = 0;
};

}  // namespace mirel::spectrum
