// The spectrum analyser's spectrogram view: the spectrum over time, the newest line at the top of
// one stripe per shown channel, with the time scale at the left and the colour bar at the right.
// The frequency axis, band, transform length, kind and window are those of the spectrum view.
#include "spectrum/TFormSP.h"

#include "common/ValueFormat.h"
#include "display/PlotScreen.h"
#include "spectrum/SpectrumCursor.h"

#include <QKeyEvent>
#include <algorithm>

namespace mirel {

using namespace spectrum;

namespace {

int RateOr48k(int rate)
{
    return rate > 0 ? rate : 48000;
}

}  // namespace

int TFormSP::captureFrames() const
{
    if (!View.Spectrogram)
        return FftLength;
    return std::max(1, RateOr48k(SampleRate) / View.LinesPerSecond);
}

SpectrogramSettings TFormSP::spectrogramSettings() const
{
    SpectrogramSettings s;
    s.SampleRate = RateOr48k(SampleRate);
    s.FftLength = FftLength;
    s.LinesPerSecond = View.LinesPerSecond;
    s.Window = View.Window;
    s.AmplitudeMode = AmplitudeMode;
    s.LowFrequency = LowFrequency;
    s.HighFrequency = HighFrequency;
    s.LogFrequency = View.LogFrequency;
    s.Capacity = std::max(geometry_.PlotHeight, 1);
    return s;
}

void TFormSP::syncSpectrogram(bool redraw)
{
    const bool dropped = lines_.Configure(spectrogramSettings());
    layout_ = LayOutSpectrogram(geometry_, ShowA, ShowB);
    // Lines made while the display was frozen are drawn once it is live.
    redraw = redraw || dropped || (picturesStale_ && Live);
    for (const SpectrogramStripe& stripe : layout_.Stripes) {
        SpectrogramRaster& raster = rasters_[stripe.Channel];
        if (raster.Configure(lines_.Axis(), stripe.Plot) || redraw)
            raster.Redraw(lines_, stripe.Channel, View.TopDb, View.SpanDb, View.Map);
    }
    if (redraw)
        picturesStale_ = false;
}

bool TFormSP::feedSpectrogram()
{
    syncSpectrogram(false);
    const auto frames = static_cast<std::size_t>(BufferBytes / 4);
    const int made = lines_.Feed(std::span(SamplesA).first(std::min(frames, SamplesA.size())),
                                 std::span(SamplesB).first(std::min(frames, SamplesB.size())));
    BlockCounter += made - 1;  // a block of this view is a line
    if (made == 0)
        return false;
    linesUnshown_ += made;
    if (!Live) {
        picturesStale_ = true;  // drawn again from the lines once the display is live
        return false;
    }
    for (const SpectrogramStripe& stripe : layout_.Stripes) {
        SpectrogramRaster& raster = rasters_[stripe.Channel];
        if (made >= raster.Height() || made > lines_.Count()) {
            raster.Redraw(lines_, stripe.Channel, View.TopDb, View.SpanDb, View.Map);
            continue;
        }
        for (int age = made - 1; age >= 0; --age)
            raster.AddLine(lines_.LineDb(stripe.Channel, age), View.TopDb, View.SpanDb, View.Map);
    }
    return true;
}

void TFormSP::paintSpectrogram()
{
    syncSpectrogram(false);
    Canvas& c = pbSP->canvas();
    for (const SpectrogramStripe& stripe : layout_.Stripes) {
        const SpectrogramRaster& raster = rasters_[stripe.Channel];
        const PlotGeometry& g = stripe.Plot;
        const RasterParts parts = raster.Parts();
        c.putPixels(g.PlotLeft, g.PlotTop, raster.Width(), parts.FirstRows, parts.First.data());
        c.putPixels(g.PlotLeft, g.PlotTop + parts.FirstRows, raster.Width(), parts.SecondRows, parts.Second.data());
        const int drawn = parts.FirstRows + parts.SecondRows;
        if (drawn < g.PlotHeight) {
            c.setBrushColor(CurrentScheme.Background);
            c.fillRect(g.PlotLeft, g.PlotTop + drawn, g.PlotRight(), g.PlotBottom());
        }
    }
    PaintHorLines(CurrentScheme.Grid);
    PaintVertLines(CurrentScheme.Grid);
    PaintBorders();
    for (const SpectrogramStripe& stripe : layout_.Stripes) {
        const PlotGeometry& g = stripe.Plot;
        plot::Outline(c, g.PlotLeft - 1, g.PlotTop - 1, g.PlotRight(), g.PlotBottom());
    }
    linesUnshown_ = 0;
}

void TFormSP::paintSpectrogramScales()
{
    Canvas& c = pbSP->canvas();
    plot::DrawTexts(c, CurrentScheme, SpectrogramTimeLabels(layout_, View.LinesPerSecond), shownTexts(),
                    plot::ShownTexts::Part::Left);
    plot::DrawTexts(c, CurrentScheme, ColourBarLabels(layout_, View, AmplitudeMode), shownTexts(),
                    plot::ShownTexts::Part::Right);
    const int width = layout_.BarWidth, height = layout_.BarHeight;
    if (width <= 0 || height <= 0)
        return;
    std::vector<std::uint32_t> rows(static_cast<std::size_t>(height));
    ColourBarRows(View.Map, View, height, rows);
    barPixels_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        std::fill_n(barPixels_.begin() + static_cast<std::ptrdiff_t>(y) * width, width,
                    rows[static_cast<std::size_t>(y)]);
    c.putPixels(layout_.BarLeft, layout_.BarTop, width, height, barPixels_.data());
}

std::vector<ReadingLine> TFormSP::spectrogramCursorLines()
{
    std::vector<ReadingLine> lines;
    if (!cursorX() || !cursorY())
        return lines;
    const std::optional<SpectrogramCell> cell = CellAt(layout_, *cursorX(), *cursorY());
    if (!cell || cell->Age >= lines_.Count())
        return lines;
    // The bin whose level the pixel shows.
    const std::span<const float> line = lines_.LineDb(cell->Channel, cell->Age);
    const int index = rasters_[cell->Channel].ShownBin(line, *cursorX() - geometry_.PlotLeft);
    if (index < 0)
        return lines;
    const double ago = static_cast<double>(cell->Age) / View.LinesPerSecond;
    lines.push_back({ReadingToStr(ago, "с", false).append(" назад")});
    lines.push_back({FrequencyText(lines_.BinFrequency(index))});
    const bool a = cell->Channel == 0;
    const double db = line[static_cast<std::size_t>(index)];
    lines.push_back({std::string(a ? "A: " : "B: ").append(ReadingToStr(db, AmplitudeMode ? "дБВ" : "дБВт", false)),
                     a ? TextColour::ChannelA : TextColour::ChannelB});
    return lines;
}

std::string TFormSP::DisplayedCsv()
{
    if (!View.Spectrogram)
        return GraphicWindow::DisplayedCsv();
    return lines_.Csv(ShowA, ShowB);
}

void TFormSP::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_F3 && e->modifiers() == Qt::NoModifier) {
        setViewChoice("spectrogram", View.Spectrogram ? "0" : "1");
        return;
    }
    GraphicWindow::keyPressEvent(e);
}

}  // namespace mirel
