// The spectrum analyser's screen: frame, dotted grid of level divisions and frequency steps,
// curves and labels. A block erases only the curves drawn last time, by drawing them again in the
// background colour; the whole surface is cleared on start, show, resize and scheme change.
#include "spectrum/TFormSP.h"

#include "display/PlotScreen.h"
#include "spectrum/LevelAxis.h"
#include "spectrum/SpectrumCursor.h"
#include "spectrum/SpectrumReadings.h"

#include <QSlider>
#include <algorithm>

namespace mirel {

using namespace spectrum;

void TFormSP::FormPaint()
{
    repaintPending_ = false;
    if (!Created)
        return;
    hideReadings();
    PaintFreqLabels();
    PaintLevelLabels();
    PaintVertLines(CurrentScheme.Grid);
    PaintHorLines(CurrentScheme.Grid);
    ProcessData();
    SPPaint();
}

void TFormSP::ClearFon()
{
    geometry_ = PlotGeometry::FromSurface(pbSP->width(), pbSP->height());
    if (View.Spectrogram)
        syncSpectrogram(true);
    Canvas& c = pbSP->canvas();
    c.setBrushColor(CurrentScheme.Background);
    c.clear();
    shownTexts().clear();
    forgetReadings();
    // Nothing of the old curves is left to erase.
    PrevCurveA.Used = 0;
    PrevCurveB.Used = 0;
    PrevPeakA.Used = 0;
    PrevPeakB.Used = 0;
    tbM1Change();
    tbFv1Change(tbFn1);
    PaintBorders();
    tbFv1Change(tbFv1);
    tbM1Change();
    DeviceLostTextOut(geometry_.Plot());
}

void TFormSP::SPPaint()
{
    if (!Created)
        return;
    ClearDiagr();
    Canvas& c = pbSP->canvas();
    if (View.Spectrogram) {
        paintSpectrogram();
        DeviceLostTextOut(geometry_.Plot());
        showReadings();
        return;
    }
    const bool peaks = View.PeakHold;
    if (peaks && ShowA)
        plot::DrawCurve(c, Blended(CurrentScheme.ChannelA, CurrentScheme.Background), LineWidth, PeakA.Drawn());
    if (peaks && ShowB)
        plot::DrawCurve(c, Blended(CurrentScheme.ChannelB, CurrentScheme.Background), LineWidth, PeakB.Drawn());
    if (ShowA)
        plot::DrawCurve(c, CurrentScheme.ChannelA, LineWidth, CurveA.Drawn());
    if (ShowB)
        plot::DrawCurve(c, CurrentScheme.ChannelB, LineWidth, CurveB.Drawn());
    PaintBorders();
    PrevCurveA = CurveA;
    PrevCurveB = CurveB;
    if (peaks) {
        PrevPeakA = PeakA;
        PrevPeakB = PeakB;
    } else {
        PrevPeakA.Used = 0;
        PrevPeakB.Used = 0;
    }
    DeviceLostTextOut(geometry_.Plot());
    showReadings();
}

int TFormSP::measurementChoice() const
{
    return (ShowA ? 1 : 0) | (ShowB ? 2 : 0) | (AmplitudeMode ? 4 : 0);
}

std::vector<std::string> TFormSP::measuredRows(TextColour channel)
{
    const bool a = channel == TextColour::ChannelA;
    if (!pass_.Allocated() || !(a ? ShowA : ShowB) || View.Spectrogram)
        return {};
    const SpectrumReadings r = MeasureSpectrum(readingBins(a), SampleRate);
    std::vector<ReadingText> texts = ReadingLines(r, AmplitudeMode);
    if (View.Decibels)
        texts[1].Value = ReadingToStr(LevelDb(r.PeakAmplitude, true), AmplitudeMode ? "дБВ" : "дБВт", false);
    return ReadingRows(a ? "A" : "B", texts, {2, 2});
}

std::span<const std::complex<double>> TFormSP::readingBins(bool a)
{
    if (!pass_.Windowed())
        return a ? pass_.TransformA() : pass_.TransformB();
    // The estimators hold for a rectangular block: through a window, the block shown is
    // transformed once more for them.
    readingsFft_.SetLength(pass_.FftLength());
    readingsFft_.Transform(a ? SamplesA : SamplesB);
    return readingsFft_.Bins();
}

std::optional<MeasuredValues> TFormSP::measuredValues(TextColour channel)
{
    const bool a = channel == TextColour::ChannelA;
    if (!pass_.Allocated() || !(a ? ShowA : ShowB) || View.Spectrogram)
        return std::nullopt;
    return ToMeasuredValues(MeasureSpectrum(readingBins(a), SampleRate));
}

std::vector<ReadingLine> TFormSP::CursorLines()
{
    if (View.Spectrogram)
        return spectrogramCursorLines();
    std::vector<ReadingLine> lines;
    if (!cursorX() || !pass_.Allocated())
        return lines;
    CursorBin v = BinAtColumn(pass_.TransformA(), pass_.TransformB(), pass_.Bins(), geometry_, pass_.FftLength(),
                              SampleRate, AmplitudeMode, ShowA, *cursorX());
    if (View.LogFrequency) {
        v.Bin = BinAtX(*cursorX(), frequencyScale(), pass_.FftLength(), SampleRate);
        v.Frequency = static_cast<double>(v.Bin) * SampleRate / pass_.FftLength();
        v.Inside = true;
    }
    if (!v.Inside)
        return lines;
    if (!(View == ViewSettings())) {
        // The levels as the curves show them: through the window, averaged.
        const auto at = [k = static_cast<std::size_t>(v.Bin)](std::span<const double> levels) {
            return k < levels.size() ? levels[k] : 0.0;
        };
        v.A = at(pass_.LevelsA());
        v.B = at(pass_.LevelsB());
    }
    const auto text = [this](const char* channel, double level) {
        if (!View.Decibels)
            return LevelText(channel, level, AmplitudeMode);
        return std::string(channel).append(": ").append(
            ReadingToStr(LevelDb(level, AmplitudeMode), AmplitudeMode ? "дБВ" : "дБВт", false));
    };
    lines.push_back({FrequencyText(v.Frequency)});
    if (ShowA)
        lines.push_back({text("A", v.A), TextColour::ChannelA});
    if (ShowB)
        lines.push_back({text("B", v.B), TextColour::ChannelB});
    return lines;
}

void TFormSP::ClearDiagr()
{
    hideReadings();
    if (View.Spectrogram)
        return;  // the stripes are drawn whole
    // Only the curves of channels shown were drawn; the previous ones exist after the first start.
    if (pass_.Allocated()) {
        const std::span<const ScreenPoint> none;
        plot::EraseCurves(pbSP->canvas(), CurrentScheme, LineWidth, ShowA ? PrevCurveA.Drawn() : none,
                          ShowB ? PrevCurveB.Drawn() : none);
        plot::EraseCurves(pbSP->canvas(), CurrentScheme, LineWidth, ShowA ? PrevPeakA.Drawn() : none,
                          ShowB ? PrevPeakB.Drawn() : none);
    }
    PaintHorLines(CurrentScheme.Grid);
    PaintVertLines(CurrentScheme.Grid);
}

void TFormSP::PaintBorders()
{
    plot::PaintBorders(pbSP->canvas(), CurrentScheme, pbSP->width(), pbSP->height(), geometry_.Plot());
}

void TFormSP::PaintHorLines(Rgb colour)
{
    Canvas& c = pbSP->canvas();
    plot::GridPen(c, CurrentScheme, colour, View.Spectrogram ? plot::Pen::Dots : plot::Pen::Dotted);
    if (View.Spectrogram) {
        for (const SpectrogramStripe& stripe : layout_.Stripes)
            for (const int y : TimeGridRows(stripe.Plot, View.LinesPerSecond))
                plot::HorizontalLine(c, stripe.Plot.Plot(), y);
        return;
    }
    if (View.Decibels) {
        // The scale's edges are the plot's frame.
        const std::vector<DbLine> lines = DbLines(geometry_, View);
        for (std::size_t i = 1; i + 1 < lines.size(); ++i)
            plot::HorizontalLine(c, geometry_.Plot(), lines[i].Y);
        return;
    }
    const double division = static_cast<double>(geometry_.PlotHeight) / LevelDivisions;
    for (int i = 1; i < LevelDivisions; ++i)
        plot::HorizontalLine(c, geometry_.Plot(), Trunc(division * i + geometry_.PlotTop));
}

FrequencyScale TFormSP::frequencyScale() const
{
    return FrequencyScaleFor(geometry_, LowFrequency, HighFrequency, View.LogFrequency, pass_.FftLength(), SampleRate);
}

void TFormSP::PaintVertLines(Rgb colour)
{
    // The lines follow the band and the plot width; they are worked out again only when those
    // change, not for every block.
    const FreqLinesKey key{LowFrequency,      HighFrequency, geometry_.PlotWidth,
                           pass_.FftLength(), SampleRate,    View.LogFrequency};
    if (!(key == freqLinesKey_)) {
        freqLines_ = View.LogFrequency ? LogFreqGridLines(frequencyScale())
                                       : FreqGridLines(geometry_, LowFrequency, HighFrequency);
        freqLinesKey_ = key;
    }
    Canvas& c = pbSP->canvas();
    plot::GridPen(c, CurrentScheme, colour, View.Spectrogram ? plot::Pen::Dots : plot::Pen::Dotted);
    if (View.Spectrogram) {
        for (const SpectrogramStripe& stripe : layout_.Stripes)
            for (const int x : freqLines_)
                plot::VerticalLine(c, stripe.Plot.Plot(), x);
        return;
    }
    for (const int x : freqLines_)
        plot::VerticalLine(c, geometry_.Plot(), x);
}

void TFormSP::PaintFreqLabels()
{
    plot::DrawTexts(pbSP->canvas(), CurrentScheme,
                    View.LogFrequency ? LogFreqLabels(geometry_, frequencyScale())
                                      : FreqLabels(geometry_, LowFrequency, HighFrequency),
                    shownTexts(), plot::ShownTexts::Part::Horizontal);
}

void TFormSP::PaintLevelLabels()
{
    if (View.Spectrogram) {
        paintSpectrogramScales();
        return;
    }
    Canvas& c = pbSP->canvas();
    if (View.Decibels) {
        plot::DrawTexts(c, CurrentScheme, DbLabelsA(geometry_, View, AmplitudeMode), shownTexts(),
                        plot::ShownTexts::Part::Left);
        plot::DrawTexts(c, CurrentScheme, DbLabelsB(geometry_, View, AmplitudeMode), shownTexts(),
                        plot::ShownTexts::Part::Right);
        return;
    }
    plot::DrawTexts(c, CurrentScheme, LevelLabelsA(geometry_, FullScaleA, AmplitudeMode), shownTexts(),
                    plot::ShownTexts::Part::Left);
    plot::DrawTexts(c, CurrentScheme, LevelLabelsB(geometry_, FullScaleB, AmplitudeMode), shownTexts(),
                    plot::ShownTexts::Part::Right);
}

}  // namespace mirel
