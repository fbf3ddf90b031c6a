#pragma once
// Readable ticks: on the time axis whole seconds, minutes, hours or days of
// the wall clock, the step chosen by the span and the room a label needs;
// on the temperature axis whole degrees.

#include "series.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace chart {

// The steps the time axis may take, in seconds, from 5 s to a week.
const std::vector<std::int64_t>& timeSteps();

// The smallest step at which ticks stand at least `room(step)` pixels
// apart, at `pixelsPerSecond`; the widest step if none does.
std::int64_t chooseTimeStep(double pixelsPerSecond, const std::function<int(std::int64_t)>& room);

struct TimeTick {
    double axis;        // where it stands on the series' axis
    std::int64_t wall;  // the wall clock's seconds there (Timeline's)
    bool dated;
};

// The ticks in [start, end] at every whole multiple of `step` of each
// segment's wall clock (weeks from Monday), in order along the axis.
std::vector<TimeTick> timeTicks(const Series& series, double start, double end, std::int64_t step);

struct DegreeTicks {
    int low = 0;   // the axis runs from low ...
    int high = 1;  // ... to high, both whole multiples of step
    int step = 1;
};

// Whole degrees around [min, max] with a degree to spare at each end, the
// step the smallest of 1, 2, 5, 10, 20, 50, 100 ... that keeps ticks at
// least `room` pixels apart over `height` pixels.
DegreeTicks degreeTicks(int min, int max, int height, int room);

} // namespace chart
