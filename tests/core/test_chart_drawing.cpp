// What the chart draws: ticks for spans from a minute to a week, whole
// degrees, and the readings reduced to pixel columns without losing a spike
// or bridging a gap.

#include "civil_time.h"
#include "curve.h"
#include "ticks.h"

#include <gtest/gtest.h>

#include <algorithm>

using chart::Series;

namespace {

Series steady(std::size_t count, int degrees, std::int64_t from = 0) {
    Series series;
    for (std::size_t i = 0; i < count; ++i)
        series.append(from + std::int64_t(i), false, degrees);
    return series;
}

chart::PlotMapping plotOver(const Series& series, int width, double low, double high) {
    chart::PlotMapping plot;
    plot.left = 10;
    plot.top = 5;
    plot.width = width;
    plot.height = 200;
    plot.start = series.axisAt(0);
    plot.span = series.axisAt(series.size() - 1) - plot.start;
    plot.low = low;
    plot.high = high;
    return plot;
}

} // namespace

TEST(ChartTicks, TheStepFollowsTheSpanFromAMinuteToAWeekOnWholeUnitsOfTheClock) {
    const auto room = [](std::int64_t) { return 70; };
    const struct {
        double span;
        std::int64_t step;
    } cases[] = {{60, 5}, {600, 30}, {3600, 300}, {6 * 3600, 900}, {86400, 3600}, {604800, 43200}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.span);
        const std::int64_t step = chart::chooseTimeStep(1920 / c.span, room);
        EXPECT_EQ(step, c.step);
        // From 13:37:05 on the first day, undated.
        const Series series = steady(2, 20, 13 * 3600 + 37 * 60 + 5);
        const auto ticks = chart::timeTicks(series, 0, c.span, step);
        ASSERT_FALSE(ticks.empty());
        for (const chart::TimeTick& tick : ticks) {
            EXPECT_EQ(tick.wall % step, 0);
            EXPECT_EQ(tick.axis + double(13 * 3600 + 37 * 60 + 5), double(tick.wall));
        }
        EXPECT_LE(ticks.size(), 1920u / 70 + 1);
    }
    // Days at weeks' spans in narrow windows, weeks from Monday.
    EXPECT_EQ(chart::chooseTimeStep(400 / 604800.0, room), 172800);
    const Series month = steady(2, 20, 0);
    for (const chart::TimeTick& tick : chart::timeTicks(month, 0, 40 * 86400.0, 604800))
        EXPECT_EQ((chart::dayOf(tick.wall) + 3) % 7, 0) << tick.wall;  // 1970-01-05 was a Monday
}

TEST(ChartTicks, WhereTheClockWentBackEachPartHasTicksOnItsOwnClock) {
    Series series;
    for (int s = 0; s <= 3600; s += 60)
        series.append(2 * 3600 + s, true, 20);  // 02:00 to 03:00
    for (int s = 0; s <= 3600; s += 60)
        series.append(2 * 3600 + s, true, 20);  // and again, an hour later on the axis
    const auto ticks = chart::timeTicks(series, 0, series.axisAt(series.size() - 1), 1800);
    std::vector<std::int64_t> walls;
    for (const auto& tick : ticks)
        walls.push_back(tick.wall / 60);
    EXPECT_EQ(walls, (std::vector<std::int64_t>{120, 150, 180, 120, 150, 180}));
}

TEST(ChartTicks, DegreesAreWholeWithADegreeToSpare) {
    const chart::DegreeTicks near = chart::degreeTicks(18, 25, 400, 30);
    EXPECT_EQ(std::make_tuple(near.low, near.high, near.step), std::make_tuple(17, 26, 1));
    const chart::DegreeTicks wide = chart::degreeTicks(-273, 235, 300, 30);
    EXPECT_EQ(wide.step, 100);
    EXPECT_LE(wide.low, -274);
    EXPECT_GE(wide.high, 236);
    const chart::DegreeTicks flat = chart::degreeTicks(21, 21, 10, 30);
    EXPECT_LT(flat.low, 21);
    EXPECT_GT(flat.high, 21);
}

TEST(ChartCurve, EveryColumnKeepsItsSpikesAndAGapBreaksTheCurve) {
    Series series;
    for (std::int64_t i = 0; i < 100000; ++i)
        series.append(i < 60000 ? i : i + 3600, false, i == 54321 ? 35 : i == 77777 ? -5 : 20);
    const chart::PlotMapping plot = plotOver(series, 500, -10, 40);
    chart::Curve curve;
    chart::traceCurve(series, plot, 1, curve);
    ASSERT_EQ(curve.runs.size(), 2u);  // the hour's gap after reading 60000
    const auto [lowest, highest] = std::minmax_element(curve.points.begin(), curve.points.end(),
                                                       [](auto& a, auto& b) { return a.y < b.y; });
    EXPECT_EQ(lowest->y, plot.y(35));
    EXPECT_EQ(highest->y, plot.y(-5));
    EXPECT_EQ(lowest->x, plot.x(series.axisAt(54321)));
    EXPECT_EQ(highest->x, plot.x(series.axisAt(77777)));
    // The column reduction bounds the points by the columns, not the readings.
    EXPECT_LE(curve.points.size(), 4u * 500 + 4);
    for (const chart::Point& p : curve.points)
        EXPECT_TRUE(p.x >= plot.left - 1 && p.x <= plot.left + plot.width) << p.x;
    const auto bands = chart::gapBands(series, plot);
    ASSERT_EQ(bands.size(), 1u);
    EXPECT_GT(bands[0].to - bands[0].from, 10);
}

TEST(ChartCurve, ZoomedInTheLinesToTheReadingsOutsideAreCutAtTheEdges) {
    Series series;
    series.append(0, false, 10);
    series.append(5, false, 20);
    series.append(10, false, 30);
    chart::PlotMapping plot;
    plot.width = 100;
    plot.height = 101;
    plot.start = 2.5;  // the middle reading alone in view
    plot.span = 5;
    plot.low = 0;
    plot.high = 100;
    chart::Curve curve;
    chart::traceCurve(series, plot, 1, curve);
    ASSERT_EQ(curve.runs.size(), 1u);
    ASSERT_EQ(curve.points.size(), 3u);
    EXPECT_EQ(curve.points[0].x, -1);
    EXPECT_EQ(curve.points[1].x, 50);
    EXPECT_EQ(curve.points[1].y, plot.y(20));
    EXPECT_EQ(curve.points[2].x, 100);
    EXPECT_NEAR(curve.points[2].y, plot.y(25), 1);
}
