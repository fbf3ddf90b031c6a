#pragma once
// The minimum, maximum and sum of any run of a list of whole-degree values
// that only grows at its end, without visiting every value of the run: a
// summary per block of kLeaf values, and per pair of summaries above that,
// level by level. A run costs two partial blocks and two summaries a level;
// an appended value updates one summary a level. The summaries take about
// half a byte per value.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace chart {

class ExtremesTree {
public:
    static constexpr std::size_t kLeaf = 64;

    struct Summary {
        int min = 0;
        int max = 0;
        std::int64_t sum = 0;
        std::size_t count = 0;
    };

    void clear() { levels_.clear(); }
    // `values` has just grown by one at its end.
    void added(const std::vector<std::int16_t>& values);

    // Over values[from, to); count 0 for an empty run.
    Summary summarize(const std::vector<std::int16_t>& values, std::size_t from, std::size_t to) const;
    // The first index in [from, to) whose value is `extreme`, the run's
    // minimum or maximum (only those are found in the summaries); `to` if none.
    std::size_t findExtreme(const std::vector<std::int16_t>& values, std::size_t from, std::size_t to,
                            int extreme) const;

private:
    struct Node {
        std::int64_t sum;
        std::int16_t min;
        std::int16_t max;
    };
    struct Piece {
        std::size_t level, index;
    };
    // The summaries that cover the whole blocks [firstBlock, endBlock),
    // left to right.
    std::vector<Piece> cover(std::size_t firstBlock, std::size_t endBlock) const;

    std::vector<std::vector<Node>> levels_;
};

} // namespace chart
