#include "transfer/TransferDisplay.h"

#include "common/ValueFormat.h"
#include "spectrum/LevelAxis.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace mirel::transfer {

using spectrum::MarginBottom;
using spectrum::MarginLeft;
using spectrum::MarginRight;
using spectrum::MarginTop;

namespace {

int RowOf(double fraction, const PlotGeometry& g)
{
    if (!(fraction > 0))  // NaN too
        fraction = 0;
    return static_cast<int>(g.PlotBottom() - g.PlotHeight * std::min(fraction, 1.0));
}

// A label beside its row: centred on it, or above the plot's bottom edge and below its top edge,
// clear of the caption above the plot.
int LabelY(int row, const PlotGeometry& g)
{
    if (row >= g.PlotBottom())
        return row - 12;
    if (row <= g.PlotTop)
        return row - 2;
    return row - 7;
}

}  // namespace

TransferLayout TransferLayout::FromSurface(int surfaceWidth, int surfaceHeight)
{
    TransferLayout l;
    const int heights = surfaceHeight - MarginTop - PlotGap - MarginBottom;
    for (PlotGeometry* g : {&l.Magnitude, &l.Phase}) {
        g->SurfaceWidth = surfaceWidth;
        g->SurfaceHeight = surfaceHeight;
        g->PlotWidth = surfaceWidth - MarginLeft - MarginRight;
    }
    l.Magnitude.PlotHeight = heights * 3 / 5;
    l.Phase.PlotTop = MarginTop + l.Magnitude.PlotHeight + PlotGap;
    l.Phase.PlotHeight = heights - l.Magnitude.PlotHeight;
    return l;
}

PlotRect TransferLayout::Both() const
{
    return {double(Magnitude.PlotLeft), double(Magnitude.PlotTop), double(Magnitude.PlotWidth),
            double(Phase.PlotBottom() - Magnitude.PlotTop)};
}

FrequencyScale AxisOf(const TransferLayout& layout, const DisplayRange& range)
{
    return {range.LowHz, range.HighHz, true, layout.Magnitude.PlotLeft, layout.Magnitude.PlotWidth};
}

int MagnitudeRow(double db, const TransferLayout& layout, const DisplayRange& range)
{
    return RowOf((db - range.BottomDb) / (range.TopDb - range.BottomDb), layout.Magnitude);
}

int CoherenceRow(double coherence, const TransferLayout& layout)
{
    return RowOf(coherence, layout.Magnitude);
}

int PhaseRow(double degrees, const TransferLayout& layout)
{
    return RowOf((degrees + 180) / 360, layout.Phase);
}

int FrequencyColumn(double hz, const FrequencyScale& axis)
{
    const double x = spectrum::FrequencyX(hz, axis);
    if (!(x > axis.Left))
        return axis.Left;
    return std::min(Trunc(x), axis.Left + std::max(axis.Width - 1, 0));
}

int DbGridStep(const TransferLayout& layout, const DisplayRange& range)
{
    const double span = range.TopDb - range.BottomDb;
    const int height = layout.Magnitude.PlotHeight;
    int step = 1;
    for (int decade = 1; decade <= 1000; decade *= 10)
        for (const int m : {1, 2, 5}) {
            step = m * decade;
            if (span <= 0 || height * step >= spectrum::DbLabelPitch * span)
                return step;
        }
    return step;
}

std::vector<GridLevel> DbGridLevels(const TransferLayout& layout, const DisplayRange& range)
{
    std::vector<GridLevel> levels;
    if (!(range.TopDb > range.BottomDb))
        return levels;
    const int step = DbGridStep(layout, range);
    for (int db = static_cast<int>(std::floor(range.TopDb / step)) * step; db >= range.BottomDb; db -= step)
        levels.push_back({db, MagnitudeRow(db, layout, range)});
    return levels;
}

AxisTexts LeftLabels(const TransferLayout& layout, const DisplayRange& range)
{
    const PlotGeometry& m = layout.Magnitude;
    const PlotGeometry& p = layout.Phase;
    AxisTexts out;
    out.Clear = {2, m.PlotTop - 6, m.PlotLeft - 3, p.PlotBottom() + 1};
    out.Texts.push_back({"|H|, дБ", 8, spectrum::CaptionY(m), true, ResponseColour});
    out.Texts.push_back({"Фаза, °", 8, m.PlotBottom() + 3, true, ResponseColour});
    // The phase's five levels are few enough to be kept each, the zero first.
    for (const int degrees : {0, 90, -90, 180, -180}) {
        std::string text = spectrum::DbLabelText(degrees);
        const int row = PhaseRow(degrees, layout);
        out.Texts.push_back({text, p.PlotLeft - spectrum::BoldAdvance(text) - 3, LabelY(row, p), true, ResponseColour});
    }
    // The magnitude's labels bottom first, so that their places count up the scale.
    std::vector<GridLevel> levels = DbGridLevels(layout, range);
    std::reverse(levels.begin(), levels.end());
    for (std::size_t i = 0; i < levels.size(); ++i) {
        std::string text = spectrum::DbLabelText(levels[i].Value);
        const int index = static_cast<int>(i);
        if (levels[i].Value == 0)
            out.Origin = index;
        out.Texts.push_back(
            {text, m.PlotLeft - spectrum::BoldAdvance(text) - 3, LabelY(levels[i].Y, m), true, ResponseColour, index});
    }
    return out;
}

AxisTexts CoherenceLabels(const TransferLayout& layout)
{
    const PlotGeometry& m = layout.Magnitude;
    AxisTexts out;
    out.Clear = {m.PlotRight() + 1, m.PlotTop - 6, m.SurfaceWidth - 3, m.PlotBottom() + 1};
    out.Texts.push_back({"γ²", m.PlotRight() + 4, spectrum::CaptionY(m), true, CoherenceColour});
    for (int i = 0; i <= 5; ++i) {
        const double value = i / 5.0;
        out.Texts.push_back({GeneralFloatText(value), m.PlotRight() + 4, LabelY(CoherenceRow(value, layout), m), true,
                             CoherenceColour, i});
    }
    return out;
}

namespace {

// Puts the points of one curve together, column by column, piece by piece.
class TraceBuilder {
public:
    explicit TraceBuilder(Trace& trace) : trace_(trace)
    {
        trace_.Points.clear();
        trace_.Pieces.clear();
    }

    bool Open() const { return open_; }
    bool Dim() const { return dim_; }

    void Start(bool dim)
    {
        open_ = true;
        dim_ = dim;
        first_ = static_cast<int>(trace_.Points.size());
    }

    // Ends the piece; with `join` the next one starts where it ended.
    void End(bool join = false)
    {
        hasJoin_ = false;
        if (!open_)
            return;
        Flush();
        open_ = false;
        const int count = static_cast<int>(trace_.Points.size()) - first_;
        if (count == 0)
            return;
        const ScreenPoint last = trace_.Points.back();
        if (count == 1)
            trace_.Points.push_back(last);
        trace_.Pieces.push_back({first_, std::max(count, 2), dim_});
        joined_ = last;
        hasJoin_ = join;
    }

    void Add(ScreenPoint p)
    {
        if (hasJoin_) {
            trace_.Points.push_back(joined_);
            hasJoin_ = false;
        }
        if (inColumn_ && p.x == x_) {
            if (p.y < low_) {
                low_ = p.y;
                lowFirst_ = false;
            }
            if (p.y > high_) {
                high_ = p.y;
                lowFirst_ = true;
            }
            return;
        }
        Flush();
        inColumn_ = true;
        x_ = p.x;
        low_ = high_ = p.y;
        lowFirst_ = true;
    }

    // The column's lowest and highest rows, the one reached first first.
    void Flush()
    {
        if (!inColumn_)
            return;
        inColumn_ = false;
        const int first = lowFirst_ ? low_ : high_;
        const int second = lowFirst_ ? high_ : low_;
        trace_.Points.push_back({x_, first});
        if (second != first)
            trace_.Points.push_back({x_, second});
    }

private:
    Trace& trace_;
    bool open_ = false;
    bool dim_ = false;
    int first_ = 0;
    bool inColumn_ = false;
    int x_ = 0, low_ = 0, high_ = 0;
    bool lowFirst_ = true;  // the column's top row (lowest y) came before its bottom one
    bool hasJoin_ = false;
    ScreenPoint joined_;
};

}  // namespace

std::span<const std::int32_t> BinColumns::Update(std::span<const TransferPoint> points, const FrequencyScale& axis)
{
    Key key{points.size(), 0, 0, axis.Low, axis.High, axis.Left, axis.Width};
    if (!points.empty()) {
        key.First = points.front().Frequency;
        key.Last = points.back().Frequency;
    }
    if (!(key == key_)) {
        key_ = key;
        columns_.resize(points.size());
        for (std::size_t i = 0; i < points.size(); ++i)
            columns_[i] = FrequencyColumn(points[i].Frequency, axis);
    }
    return columns_;
}

void BuildTrace(std::span<const TransferPoint> points, std::span<const std::int32_t> columns, TraceKind kind,
                const TransferLayout& layout, const DisplayRange& range, Trace& trace)
{
    // Room for every bin twice, with a piece each: growing stops at the longest output shown.
    const std::size_t room = 2 * points.size() + 2;
    if (trace.Points.capacity() < room)
        trace.Points.reserve(room);
    if (trace.Pieces.capacity() < points.size() + 1)
        trace.Pieces.reserve(points.size() + 1);
    TraceBuilder b(trace);
    const bool blanked = kind != TraceKind::Coherence;
    double lastPhase = 0;
    for (std::size_t i = 0; i < points.size() && i < columns.size(); ++i) {
        const TransferPoint& p = points[i];
        const bool dim = blanked && !(p.Coherence >= range.CoherenceThreshold);
        if (dim && range.HideIncoherent) {
            b.End();
            continue;
        }
        if (kind == TraceKind::Phase && b.Open() && std::abs(p.PhaseDeg - lastPhase) > 180)
            b.End();
        else if (b.Open() && dim != b.Dim())
            b.End(true);
        if (!b.Open())
            b.Start(dim);
        lastPhase = p.PhaseDeg;
        const int y = kind == TraceKind::Magnitude ? MagnitudeRow(p.MagnitudeDb, layout, range)
                      : kind == TraceKind::Phase   ? PhaseRow(p.PhaseDeg, layout)
                                                   : CoherenceRow(p.Coherence, layout);
        b.Add({columns[i], y});
    }
    b.End();
}

}  // namespace mirel::transfer
