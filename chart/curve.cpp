#include "curve.h"

#include <algorithm>
#include <cmath>

namespace chart {

int PlotMapping::x(double axis) const {
    const double column = std::floor((axis - start) * width / span);
    return left + int(std::clamp(column, -1.0, double(width)));
}

int PlotMapping::y(double degrees) const {
    return top + int(std::lround((high - degrees) * (height - 1) / (high - low)));
}

double PlotMapping::axisAt(int px) const {
    return start + double(px - left) * span / width;
}

namespace {

class Tracer {
public:
    Tracer(const Series& series, const PlotMapping& plot, int width, Curve& curve)
        : series_(series), plot_(plot), width_(width), curve_(curve) {}

    // A point on the line between readings a and b at the column's edge.
    void edgePoint(std::size_t a, std::size_t b, int column) {
        const double at = plot_.axisAt(plot_.left + column);
        const double ta = series_.axisAt(a), tb = series_.axisAt(b);
        const double share = tb > ta ? std::clamp((at - ta) / (tb - ta), 0.0, 1.0) : 0.0;
        const double degrees =
            series_.temperatureAt(a) + share * (series_.temperatureAt(b) - series_.temperatureAt(a));
        add({plot_.left + column, plot_.y(degrees)});
    }

    void add(Point p) {
        if (open_ && curve_.points.size() > curve_.runs.back().first) {
            const Point& last = curve_.points.back();
            if (last.x == p.x && last.y == p.y)
                return;
        }
        if (!open_) {
            curve_.runs.push_back({curve_.points.size(), 0, Ink::Curve, width_});
            open_ = true;
        }
        curve_.points.push_back(p);
        ++curve_.runs.back().count;
    }

    void breakRun() {
        if (!open_)
            return;
        Run& run = curve_.runs.back();
        if (run.count == 1) {
            // A reading alone between gaps: a dash, so that it shows.
            const Point p = curve_.points.back();
            curve_.points.back().x = p.x - 1;
            curve_.points.push_back({p.x + 1, p.y});
            ++run.count;
        }
        open_ = false;
    }

private:
    const Series& series_;
    const PlotMapping& plot_;
    int width_;
    Curve& curve_;
    bool open_ = false;
};

} // namespace

void traceCurve(const Series& series, const PlotMapping& plot, int width, Curve& curve) {
    if (series.empty())
        return;
    Tracer tracer(series, plot, width, curve);
    const std::size_t first = series.lowerBound(plot.start);
    const std::size_t end = series.upperBound(plot.start + plot.span);
    if (first > 0 && first < series.size() && !series.gapBetween(first - 1, first))
        tracer.edgePoint(first - 1, first, -1);

    std::size_t last = first > 0 ? first - 1 : series.size();  // the last reading drawn
    std::size_t from = first;
    for (int column = 0; column < plot.width && from < end; ++column) {
        const std::size_t to = column + 1 == plot.width
                                   ? end
                                   : std::min(end, series.lowerBound(plot.axisAt(plot.left + column + 1)));
        if (to <= from)
            continue;
        if (last < series.size() && series.gapBetween(last, from))
            tracer.breakRun();
        const int x = plot.left + column;
        tracer.add({x, plot.y(series.temperatureAt(from))});
        if (to - from > 1) {
            const ExtremesTree::Summary s = series.summarize(from, to);
            tracer.add({x, plot.y(s.min)});
            tracer.add({x, plot.y(s.max)});
            tracer.add({x, plot.y(series.temperatureAt(to - 1))});
        }
        last = to - 1;
        from = to;
    }
    if (end < series.size() && end > 0 && !series.gapBetween(end - 1, end))
        tracer.edgePoint(end - 1, end, plot.width);
    tracer.breakRun();
}

std::vector<Band> gapBands(const Series& series, const PlotMapping& plot) {
    std::vector<Band> bands;
    const auto& ends = series.gapEnds();
    // Gaps whose far side is in view, or just past it.
    const std::size_t firstReading = series.lowerBound(plot.start);
    auto at = std::lower_bound(ends.begin(), ends.end(), std::uint32_t(firstReading));
    for (; at != ends.end(); ++at) {
        const double near = series.axisAt(*at - 1), far = series.axisAt(*at);
        if (near > plot.start + plot.span)
            break;
        const int from = plot.x(near) + 1 - plot.left, to = plot.x(far) - plot.left;
        if (to <= from)
            continue;
        if (!bands.empty() && bands.back().to >= from)
            bands.back().to = std::max(bands.back().to, to);
        else
            bands.push_back({from, to});
    }
    return bands;
}

} // namespace chart
