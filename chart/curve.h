#pragma once
// The readings in view as the plot's pixel columns show them. Each column
// gets the first, lowest, highest and last reading that falls into it, so
// a spike of one reading among a hundred thousand still shows; the cost
// follows the columns, not the readings (a binary search per column and the
// extremes tree's summary). A gap in the recording breaks the curve, and
// the lines to the readings just outside the view are cut at its edges.

#include "chart.h"
#include "series.h"

#include <vector>

namespace chart {

struct PlotMapping {
    int left = 0, top = 0, width = 1, height = 1;  // the plot, in pixels
    double start = 0, span = 1;                    // the axis in view
    double low = 0, high = 1;                      // the degrees at the bottom and top

    int x(double axis) const;  // the column of `axis`, from `left`
    int y(double degrees) const;
    double axisAt(int x) const;
};

struct Curve {
    std::vector<Point> points;
    std::vector<Run> runs;
};

// Appends the curve's runs, `width` pixels wide, to `curve`.
void traceCurve(const Series& series, const PlotMapping& plot, int width, Curve& curve);

// The columns [from, to) over which the gaps in view lie, merged where
// they meet: only gaps at least a column wide.
struct Band {
    int from, to;
};
std::vector<Band> gapBands(const Series& series, const PlotMapping& plot);

} // namespace chart
