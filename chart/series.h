#pragma once
// The readings of one log in the order it holds them, on a time axis of
// their own: seconds from the first reading, one int32 and one int16 per
// reading (6 bytes) and the extremes tree's half byte.
//
// The axis follows the wall clock (Timeline's seconds) while that goes
// forward. Where it goes back (a clock put back, the end of summer time)
// or a dated part follows an undated one, a new segment starts just after
// the last reading, with its own offset to the wall clock, so the axis
// always runs forward and every reading keeps its own time. A step of more
// than kGapSeconds between two readings is a gap in the recording: the
// thermometer reads every second, or every two or three on a slow port.

#include "extremes_tree.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace chart {

class Series {
public:
    static constexpr std::int32_t kGapSeconds = 10;

    struct Segment {
        std::size_t first;           // its first reading
        std::int64_t wallMinusAxis;  // a reading's wall clock seconds less its axis seconds
        bool dated;
    };

    // False (and nothing kept) where the axis would run past its range.
    bool append(std::int64_t wallSeconds, bool dated, int temperature);
    void clear();
    void reserve(std::size_t readings);

    std::size_t size() const noexcept { return axis_.size(); }
    bool empty() const noexcept { return axis_.empty(); }
    std::int32_t axisAt(std::size_t i) const { return axis_[i]; }
    int temperatureAt(std::size_t i) const { return temperatures_[i]; }
    const Segment& segmentOf(std::size_t i) const;
    std::int64_t wallAt(std::size_t i) const { return axis_[i] + segmentOf(i).wallMinusAxis; }
    const std::vector<Segment>& segments() const noexcept { return segments_; }

    // The first reading at or after `axis`.
    std::size_t lowerBound(double axis) const;
    // The first reading after `axis`.
    std::size_t upperBound(double axis) const;
    // Whether a gap lies anywhere between readings i and j (i < j).
    bool gapBetween(std::size_t i, std::size_t j) const;
    // The readings that begin a gap's far side, in order.
    const std::vector<std::uint32_t>& gapEnds() const noexcept { return gapEnds_; }

    ExtremesTree::Summary summarize(std::size_t from, std::size_t to) const {
        return tree_.summarize(temperatures_, from, to);
    }
    std::size_t findExtreme(std::size_t from, std::size_t to, int extreme) const {
        return tree_.findExtreme(temperatures_, from, to, extreme);
    }

    // Bytes held, capacity included: for the cost measurements.
    std::size_t bytesHeld() const;

private:
    std::vector<std::int32_t> axis_;
    std::vector<std::int16_t> temperatures_;
    std::vector<std::uint32_t> gapEnds_;
    std::vector<Segment> segments_;
    ExtremesTree tree_;
};

} // namespace chart
