#include "spectrum/SpectrogramRaster.h"

#include <algorithm>
#include <utility>

namespace mirel::spectrum {

bool SpectrogramRaster::Configure(const SpectrogramAxis& axis, const PlotGeometry& g)
{
    if (laidOut_ && axis == axis_ && g.PlotLeft == stripe_.PlotLeft && g.PlotWidth == stripe_.PlotWidth &&
        g.PlotHeight == stripe_.PlotHeight)
        return false;
    axis_ = axis;
    stripe_ = g;
    laidOut_ = true;
    width_ = std::max(g.PlotWidth, 0);
    height_ = std::max(g.PlotHeight, 0);
    pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0);
    newest_ = 0;
    rows_ = 0;
    from_.assign(static_cast<std::size_t>(width_), -1);
    to_.assign(static_cast<std::size_t>(width_), 0);
    const BinRange range =
        ShownBinRange(axis.LowFrequency, axis.HighFrequency, axis.FftLength, axis.SampleRate, width_, axis.Logarithmic);
    bins_ = width_ > 0 ? range.Count() : 0;
    if (bins_ == 0)
        return true;
    if (axis.Logarithmic)
        logColumns_.Update(axis.LowFrequency, axis.HighFrequency, axis.SampleRate, axis.FftLength, g);
    // Shown bin i is bin FirstBin + d, d = i + 1, in the column of its point on the spectrum.
    for (int i = 0; i < bins_; ++i) {
        const int d = i + 1;
        const std::int32_t x = axis.Logarithmic ? logColumns_[range.FirstBin + d]
                                                : static_cast<std::int32_t>(d * range.PixelsPerBin + g.PlotLeft);
        const auto c = static_cast<std::size_t>(std::clamp(x - g.PlotLeft, 0, width_ - 1));
        if (from_[c] < 0)
            from_[c] = i;
        to_[c] = i + 1;
    }
    std::int32_t left = 0;  // the bin on the left of a column without its own
    for (std::size_t c = 0; c < from_.size(); ++c) {
        if (from_[c] >= 0) {
            left = to_[c] - 1;
        } else {
            from_[c] = left;
            to_[c] = left + 1;
        }
    }
    return true;
}

void SpectrogramRaster::Colour(std::span<const float> db, double top, double span, ColourMap map,
                               std::uint32_t* row) const
{
    const ColourTable& table = ColourTableOf(map);
    if (std::cmp_less(db.size(), bins_) || bins_ == 0) {
        std::fill(row, row + width_, table[0]);
        return;
    }
    for (int c = 0; c < width_; ++c) {
        const auto from = static_cast<std::size_t>(from_[static_cast<std::size_t>(c)]);
        const auto to = static_cast<std::size_t>(to_[static_cast<std::size_t>(c)]);
        float highest = db[from];
        for (std::size_t i = from + 1; i < to; ++i)
            highest = db[i] > highest ? db[i] : highest;
        row[c] = table[static_cast<std::size_t>(ColourIndex(highest, top, span))];
    }
}

int SpectrogramRaster::ShownBin(std::span<const float> db, int column) const
{
    if (column < 0 || column >= width_ || std::cmp_less(db.size(), bins_) || bins_ == 0)
        return -1;
    const auto from = static_cast<std::size_t>(from_[static_cast<std::size_t>(column)]);
    const auto to = static_cast<std::size_t>(to_[static_cast<std::size_t>(column)]);
    std::size_t highest = from;
    for (std::size_t i = from + 1; i < to; ++i)
        highest = db[i] > db[highest] ? i : highest;
    return static_cast<int>(highest);
}

void SpectrogramRaster::AddLine(std::span<const float> db, double top, double span, ColourMap map)
{
    if (width_ == 0 || height_ == 0)
        return;
    newest_ = (newest_ + height_ - 1) % height_;
    Colour(db, top, span, map, pixels_.data() + static_cast<std::size_t>(newest_) * static_cast<std::size_t>(width_));
    rows_ = std::min(rows_ + 1, height_);
}

void SpectrogramRaster::Redraw(const SpectrogramLines& lines, int channel, double top, double span, ColourMap map)
{
    newest_ = 0;
    rows_ = std::min(lines.Count(), height_);
    for (int age = 0; age < rows_; ++age)
        Colour(lines.LineDb(channel, age), top, span, map,
               pixels_.data() + static_cast<std::size_t>(age) * static_cast<std::size_t>(width_));
}

RasterParts SpectrogramRaster::Parts() const
{
    RasterParts parts;
    parts.FirstRows = std::min(rows_, height_ - newest_);
    parts.SecondRows = rows_ - parts.FirstRows;
    const auto width = static_cast<std::size_t>(width_);
    parts.First = std::span(pixels_).subspan(static_cast<std::size_t>(newest_) * width,
                                             static_cast<std::size_t>(parts.FirstRows) * width);
    parts.Second = std::span(pixels_).first(static_cast<std::size_t>(parts.SecondRows) * width);
    return parts;
}

std::span<const std::uint32_t> SpectrogramRaster::Row(int age) const
{
    if (age < 0 || age >= rows_)
        return {};
    const auto width = static_cast<std::size_t>(width_);
    return std::span(pixels_).subspan(static_cast<std::size_t>((newest_ + age) % height_) * width, width);
}

}  // namespace mirel::spectrum
