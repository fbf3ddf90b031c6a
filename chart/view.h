#pragma once
// The span of the series' axis in view, and how zooming and panning move
// it. The view is the whole recording until the user zooms; while it is,
// or while its right edge is at the newest reading, new readings come into
// view as they arrive.

namespace chart {

class View {
public:
    // The narrowest span shown, in seconds.
    static constexpr double kNarrowest = 60;

    // The readings' extent on the axis; an empty series is [0, 0].
    void setExtent(double first, double last);
    double start() const noexcept { return start_; }
    double end() const noexcept { return start_ + span_; }
    double span() const noexcept { return span_; }
    bool whole() const noexcept { return whole_; }

    void showWhole();
    // `factor` < 1 zooms in; `around` stays where it is on the screen.
    void zoom(double factor, double around);
    // By a share of the span: -0.25 a quarter back.
    void pan(double share);
    void show(double from, double to);

private:
    void keepWithinExtent();

    double first_ = 0;
    double last_ = 0;
    double start_ = -kNarrowest / 2;
    double span_ = kNarrowest;
    bool whole_ = true;
};

} // namespace chart
