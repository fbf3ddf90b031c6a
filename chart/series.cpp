#include "series.h"

#include <algorithm>
#include <limits>

namespace chart {

bool Series::append(std::int64_t wallSeconds, bool dated, int temperature) {
    std::int64_t axis = 0;
    if (axis_.empty()) {
        segments_.push_back({0, wallSeconds, dated});
    } else {
        const Segment& last = segments_.back();
        const std::int64_t lastWall = axis_.back() + last.wallMinusAxis;
        if (wallSeconds >= lastWall && dated == last.dated) {
            axis = axis_.back() + (wallSeconds - lastWall);
        } else {
            axis = axis_.back() + kGapSeconds + 1;
            if (axis > std::numeric_limits<std::int32_t>::max())
                return false;
            segments_.push_back({axis_.size(), wallSeconds - axis, dated});
        }
        if (axis > std::numeric_limits<std::int32_t>::max())
            return false;
        if (axis - axis_.back() > kGapSeconds)
            gapEnds_.push_back(std::uint32_t(axis_.size()));
    }
    axis_.push_back(std::int32_t(axis));
    temperatures_.push_back(std::int16_t(temperature));
    tree_.added(temperatures_);
    return true;
}

void Series::clear() {
    // Swapped out rather than cleared, so a file read anew does not keep
    // the memory of a longer one.
    std::vector<std::int32_t>().swap(axis_);
    std::vector<std::int16_t>().swap(temperatures_);
    std::vector<std::uint32_t>().swap(gapEnds_);
    segments_.clear();
    tree_.clear();
}

void Series::reserve(std::size_t readings) {
    axis_.reserve(readings);
    temperatures_.reserve(readings);
}

const Series::Segment& Series::segmentOf(std::size_t i) const {
    const auto after = std::upper_bound(segments_.begin(), segments_.end(), i,
                                        [](std::size_t index, const Segment& s) { return index < s.first; });
    return *(after - 1);
}

std::size_t Series::lowerBound(double axis) const {
    return std::size_t(
        std::lower_bound(axis_.begin(), axis_.end(), axis, [](std::int32_t a, double b) { return a < b; }) -
        axis_.begin());
}

std::size_t Series::upperBound(double axis) const {
    return std::size_t(
        std::upper_bound(axis_.begin(), axis_.end(), axis, [](double a, std::int32_t b) { return a < b; }) -
        axis_.begin());
}

bool Series::gapBetween(std::size_t i, std::size_t j) const {
    const auto at = std::upper_bound(gapEnds_.begin(), gapEnds_.end(), std::uint32_t(i));
    return at != gapEnds_.end() && *at <= j;
}

std::size_t Series::bytesHeld() const {
    return axis_.capacity() * sizeof(std::int32_t) + temperatures_.capacity() * sizeof(std::int16_t) +
           gapEnds_.capacity() * sizeof(std::uint32_t) + segments_.capacity() * sizeof(Segment);
}

} // namespace chart
