// The transfer function's display without a window: the two plots and their scales, the curves as
// drawn (columns, blanking of incoherent bins, the phase's wrap), the bin under the cursor, and
// the panel's texts and typed fields.

#include "transfer/TransferDisplay.h"
#include "transfer/TransferTexts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace mirel::transfer {
namespace {

const TransferLayout Layout = TransferLayout::FromSurface(700, 450);

TEST(TransferLayout, TwoPlotsOneAboveTheOtherWithScalesThatFit)
{
    const PlotGeometry& m = Layout.Magnitude;
    const PlotGeometry& p = Layout.Phase;
    EXPECT_EQ(m.PlotWidth, p.PlotWidth);
    EXPECT_EQ(p.PlotTop - m.PlotBottom(), PlotGap);
    EXPECT_EQ(p.PlotBottom(), 450 - spectrum::MarginBottom);
    EXPECT_GT(m.PlotHeight, p.PlotHeight);
    EXPECT_EQ(MagnitudeRow(20, Layout, {}), m.PlotTop);
    EXPECT_EQ(MagnitudeRow(-60, Layout, {}), m.PlotBottom()) << "below the scale: on its bottom edge";
    EXPECT_EQ(PhaseRow(180, Layout), p.PlotTop);
    EXPECT_EQ(PhaseRow(0, Layout), p.PlotTop + p.PlotHeight / 2);
    EXPECT_EQ(CoherenceRow(std::nan(""), Layout), m.PlotBottom());
    // +20 … −40 dB on 234 rows: 10 dB steps, multiples only, whatever the edges.
    EXPECT_EQ(DbGridStep(Layout, {}), 10);
    DisplayRange odd;
    odd.TopDb = 17;
    odd.BottomDb = -23;
    std::vector<int> values;
    for (const GridLevel& level : DbGridLevels(Layout, odd))
        values.push_back(level.Value);
    EXPECT_EQ(values, (std::vector<int>{15, 10, 5, 0, -5, -10, -15, -20})) << DbGridStep(Layout, odd);
    // The labels: the captions, the phase's five and the magnitude's seven; the coherence's six.
    EXPECT_EQ(LeftLabels(Layout, {}).Texts.size(), 2u + 5 + 7);
    EXPECT_EQ(CoherenceLabels(Layout).Texts.size(), 1u + 6);
}

// The curve of `points` with their columns.
void Build(const std::vector<TransferPoint>& points, TraceKind kind, const DisplayRange& range, Trace& trace)
{
    BinColumns columns;
    BuildTrace(points, columns.Update(points, AxisOf(Layout, range)), kind, Layout, range, trace);
}

// Points at 1 Hz steps from 100 Hz with the given values.
std::vector<TransferPoint> Points(int count, double db, double degrees, double coherence)
{
    std::vector<TransferPoint> points;
    for (int i = 0; i < count; ++i)
        points.push_back({100.0 + i, db, degrees, coherence});
    return points;
}

TEST(TransferTrace, BinsShareAColumnAsTheirLowestAndHighestRow)
{
    // 10 kHz of bins 1 Hz apart: many to a column at the top of the band.
    std::vector<TransferPoint> points = Points(10000, 0, 0, 1);
    for (std::size_t i = 0; i < points.size(); ++i)
        points[i].MagnitudeDb = i % 2 ? -10 : 10;
    Trace trace;
    Build(points, TraceKind::Magnitude, {}, trace);
    ASSERT_EQ(trace.Pieces.size(), 1u);
    std::map<int, std::vector<int>> rows;
    for (const ScreenPoint& p : trace.Points)
        rows[p.x].push_back(p.y);
    for (const auto& [x, ys] : rows) {
        ASSERT_LE(ys.size(), 2u) << x;
        if (ys.size() == 2) {
            EXPECT_EQ(std::abs(ys[0] - ys[1]), MagnitudeRow(-10, Layout, {}) - MagnitudeRow(10, Layout, {}));
        }
    }
}

TEST(TransferTrace, IncoherentBinsAreDimmedOrLeftOutAndThePhaseBreaksWhereItWraps)
{
    std::vector<TransferPoint> points = Points(30, 0, 170, 0.9);
    for (int i = 10; i < 20; ++i)
        points[static_cast<std::size_t>(i)].Coherence = 0.2;
    for (int i = 25; i < 30; ++i)
        points[static_cast<std::size_t>(i)].PhaseDeg = -170;  // a wrap: no line across the plot
    DisplayRange range;
    range.LowHz = 100;
    range.HighHz = 130;
    Trace trace;
    Build(points, TraceKind::Phase, range, trace);
    ASSERT_EQ(trace.Pieces.size(), 4u);
    EXPECT_FALSE(trace.Pieces[0].Dim);
    EXPECT_TRUE(trace.Pieces[1].Dim);
    EXPECT_FALSE(trace.Pieces[2].Dim);
    EXPECT_EQ(trace.PointsOf(trace.Pieces[1]).front(), trace.PointsOf(trace.Pieces[0]).back()) << "joined";
    EXPECT_EQ(trace.PointsOf(trace.Pieces[2]).front(), trace.PointsOf(trace.Pieces[1]).back());
    EXPECT_EQ(trace.PointsOf(trace.Pieces[3]).front().y, PhaseRow(-170, Layout)) << "not joined over the wrap";

    range.HideIncoherent = true;
    range.CoherenceThreshold = 0.95;
    points[5].Coherence = 1;  // one coherent bin alone: a piece of one point, held twice
    Build(points, TraceKind::Magnitude, range, trace);
    ASSERT_EQ(trace.Pieces.size(), 1u);
    EXPECT_EQ(trace.Pieces[0].Count, 2);
    EXPECT_EQ(trace.Points[0], trace.Points[1]);
    Build(points, TraceKind::Coherence, range, trace);
    EXPECT_EQ(trace.Pieces.size(), 1u) << "the coherence itself is never blanked";
}

TEST(TransferTexts, CursorBinDelayAndTypedFields)
{
    const std::vector<TransferPoint> points = Points(3, -1.5, 12.25, 0.9986);
    DisplayRange range;
    range.LowHz = 100;
    range.HighHz = 102;
    const FrequencyScale axis = AxisOf(Layout, range);
    EXPECT_EQ(PointAtColumn(points, axis, Layout.Magnitude.PlotLeft), &points[0]);
    EXPECT_EQ(PointAtColumn(points, axis, FrequencyColumn(101.4, axis)), &points[1]);
    EXPECT_EQ(PointAtColumn(points, axis, Layout.Magnitude.PlotRight() - 1), &points[2]);
    EXPECT_EQ(CursorTexts(points[0]),
              (std::vector<std::string>{"f = 100 Гц", "|H|: -1.50 дБ", "φ: 12.2°", "γ²: 0.999"}));
    EXPECT_EQ(PointNear(points, 1000), nullptr);

    EXPECT_EQ(DelayText({true, 72.25, 72.25 / 48000, 1, 0.9}), "Задержка: 1,505 мс (72,25 отсч.), полярность +");
    EXPECT_EQ(DelayText({true, -4.8, -4.8 / 48000, -1, -0.9}), "Задержка: -0,100 мс (-4,80 отсч.), полярность −");
    EXPECT_EQ(DelayText({}), "Задержка не найдена");

    for (const auto& [text, value] :
         std::map<std::string, double>{{"20", 20}, {" 0,5 ", 0.5}, {"+1.5", 1.5}, {"-40", -40}})
        EXPECT_EQ(TypedNumber(text), value) << text;
    for (const char* text : {"", "abc", "1,5 Гц", "1e999", "+"})
        EXPECT_FALSE(TypedNumber(text)) << text;
    const auto fault = [](void (*change)(DisplayRange&)) {
        DisplayRange r;
        change(r);
        return RangeFault(r).empty();
    };
    EXPECT_TRUE(fault([](DisplayRange&) {}));
    EXPECT_FALSE(fault([](DisplayRange& r) { r.LowHz = 0; }));
    EXPECT_FALSE(fault([](DisplayRange& r) { r.HighHz = 20; }));
    EXPECT_FALSE(fault([](DisplayRange& r) { r.BottomDb = 19.5; }));
    EXPECT_FALSE(fault([](DisplayRange& r) { r.CoherenceThreshold = 1.1; }));
}

}  // namespace
}  // namespace mirel::transfer
