#include "extremes_tree.h"

#include <algorithm>

namespace chart {
namespace {

struct Accumulator {
    ExtremesTree::Summary summary{INT32_MAX, INT32_MIN, 0, 0};

    void add(int min, int max, std::int64_t sum) {
        summary.min = std::min(summary.min, min);
        summary.max = std::max(summary.max, max);
        summary.sum += sum;
    }
};

} // namespace

void ExtremesTree::added(const std::vector<std::int16_t>& values) {
    const std::int16_t value = values.back();
    std::size_t index = (values.size() - 1) / kLeaf;
    for (std::vector<Node>& level : levels_) {
        if (index == level.size()) {
            level.push_back({value, value, value});
        } else {
            Node& node = level[index];
            node.min = std::min(node.min, value);
            node.max = std::max(node.max, value);
            node.sum += value;
        }
        index /= 2;
    }
    if (levels_.empty())
        levels_.push_back({{value, value, value}});
    // A top level of two gets a level above it: there is always one root.
    if (const std::vector<Node>& top = levels_.back(); top.size() == 2)
        levels_.push_back(
            {{top[0].sum + top[1].sum, std::min(top[0].min, top[1].min), std::max(top[0].max, top[1].max)}});
}

std::vector<ExtremesTree::Piece> ExtremesTree::cover(std::size_t firstBlock, std::size_t endBlock) const {
    std::vector<Piece> left, right;
    for (std::size_t level = 0; firstBlock < endBlock; ++level) {
        if (firstBlock & 1)
            left.push_back({level, firstBlock++});
        if (endBlock & 1)
            right.push_back({level, --endBlock});
        firstBlock /= 2;
        endBlock /= 2;
    }
    left.insert(left.end(), right.rbegin(), right.rend());
    return left;
}

ExtremesTree::Summary ExtremesTree::summarize(const std::vector<std::int16_t>& values, std::size_t from,
                                              std::size_t to) const {
    if (from >= to)
        return {};
    Accumulator all;
    const auto scan = [&](std::size_t a, std::size_t b) {
        for (std::size_t i = a; i < b; ++i)
            all.add(values[i], values[i], values[i]);
    };
    const std::size_t firstBlock = (from + kLeaf - 1) / kLeaf;
    const std::size_t endBlock = to / kLeaf;
    if (firstBlock >= endBlock) {
        scan(from, to);
    } else {
        scan(from, firstBlock * kLeaf);
        scan(endBlock * kLeaf, to);
        std::size_t first = firstBlock, end = endBlock;
        for (std::size_t level = 0; first < end; ++level) {
            if (first & 1) {
                const Node& node = levels_[level][first++];
                all.add(node.min, node.max, node.sum);
            }
            if (end & 1) {
                const Node& node = levels_[level][--end];
                all.add(node.min, node.max, node.sum);
            }
            first /= 2;
            end /= 2;
        }
    }
    all.summary.count = to - from;
    return all.summary;
}

std::size_t ExtremesTree::findExtreme(const std::vector<std::int16_t>& values, std::size_t from,
                                      std::size_t to, int extreme) const {
    const auto scan = [&](std::size_t a, std::size_t b) {
        for (std::size_t i = a; i < b; ++i)
            if (values[i] == extreme)
                return i;
        return to;
    };
    const std::size_t firstBlock = (from + kLeaf - 1) / kLeaf;
    const std::size_t endBlock = to / kLeaf;
    if (firstBlock >= endBlock)
        return scan(from, to);
    if (const std::size_t found = scan(from, firstBlock * kLeaf); found != to)
        return found;
    const auto holds = [&](const Node& node) { return node.min == extreme || node.max == extreme; };
    for (Piece piece : cover(firstBlock, endBlock)) {
        if (!holds(levels_[piece.level][piece.index]))
            continue;
        while (piece.level > 0) {
            --piece.level;
            piece.index *= 2;
            if (!holds(levels_[piece.level][piece.index]))
                ++piece.index;
        }
        return scan(piece.index * kLeaf, piece.index * kLeaf + kLeaf);
    }
    return scan(endBlock * kLeaf, to);
}

} // namespace chart
