#include "ticks.h"

#include "civil_time.h"

#include <algorithm>
#include <cmath>

namespace chart {
namespace {

// 1970-01-01 was a Thursday: weeks counted from it start four days later.
constexpr std::int64_t kMonday = 4 * kSecondsPerDay;

std::int64_t firstMultipleFrom(std::int64_t wall, std::int64_t step) {
    const std::int64_t origin = step == 7 * kSecondsPerDay ? kMonday : 0;
    const std::int64_t shifted = wall - origin;
    const std::int64_t below = shifted >= 0 ? shifted / step : -((-shifted + step - 1) / step);
    std::int64_t tick = below * step + origin;
    return tick < wall ? tick + step : tick;
}

} // namespace

const std::vector<std::int64_t>& timeSteps() {
    static const std::vector<std::int64_t> steps{
        5, 10, 15, 30, 60, 120, 300, 600, 900, 1800, 3600, 7200, 10800, 21600, 43200, 86400, 172800, 604800,
    };
    return steps;
}

std::int64_t chooseTimeStep(double pixelsPerSecond, const std::function<int(std::int64_t)>& room) {
    for (const std::int64_t step : timeSteps())
        if (double(step) * pixelsPerSecond >= room(step))
            return step;
    return timeSteps().back();
}

std::vector<TimeTick> timeTicks(const Series& series, double start, double end, std::int64_t step) {
    std::vector<TimeTick> ticks;
    const auto& segments = series.segments();
    for (std::size_t k = 0; k < segments.size(); ++k) {
        // A segment runs on its own clock from its first reading to the
        // next segment's; the first reaches back and the last on, so that a
        // view beyond the readings has ticks too.
        const double from = k == 0 ? start : std::max(start, double(series.axisAt(segments[k].first)));
        const double to =
            k + 1 == segments.size() ? end : std::min(end, double(series.axisAt(segments[k + 1].first - 1)));
        if (from > to)
            continue;
        const std::int64_t shift = segments[k].wallMinusAxis;
        const std::int64_t lastWall = std::int64_t(std::floor(to)) + shift;
        for (std::int64_t wall = firstMultipleFrom(std::int64_t(std::ceil(from)) + shift, step);
             wall <= lastWall; wall += step)
            ticks.push_back({double(wall - shift), wall, segments[k].dated});
    }
    return ticks;
}

DegreeTicks degreeTicks(int min, int max, int height, int room) {
    DegreeTicks ticks;
    for (int scale = 1;; scale *= 10) {
        for (const int step : {scale, 2 * scale, 5 * scale}) {
            ticks.step = step;
            ticks.low = int(std::floor(double(min - 1) / step)) * step;
            ticks.high = int(std::ceil(double(max + 1) / step)) * step;
            const int count = (ticks.high - ticks.low) / step;
            if (count <= 1 || double(height) / count >= room || step >= 1000)
                return ticks;
        }
    }
}

} // namespace chart
