#include "view.h"

#include <algorithm>

namespace chart {

void View::setExtent(double first, double last) {
    const bool atNewest = end() >= last_;
    first_ = first;
    const double grown = last - last_;
    last_ = last;
    if (whole_) {
        showWhole();
        return;
    }
    if (atNewest && grown > 0)
        start_ += grown;
    keepWithinExtent();
}

void View::showWhole() {
    whole_ = true;
    span_ = std::max(last_ - first_, kNarrowest);
    start_ = (first_ + last_) / 2 - span_ / 2;
}

void View::zoom(double factor, double around) {
    const double span = std::clamp(span_ * factor, kNarrowest, std::max(last_ - first_, kNarrowest));
    start_ = around - (around - start_) * (span / span_);
    span_ = span;
    whole_ = false;
    keepWithinExtent();
}

void View::pan(double share) {
    if (whole_)
        return;
    start_ += share * span_;
    keepWithinExtent();
}

void View::show(double from, double to) {
    if (to < from)
        std::swap(from, to);
    const double span = std::max(to - from, kNarrowest);
    start_ = (from + to) / 2 - span / 2;
    span_ = span;
    whole_ = false;
    keepWithinExtent();
}

void View::keepWithinExtent() {
    const double extent = last_ - first_;
    if (span_ >= extent) {
        showWhole();
        return;
    }
    start_ = std::clamp(start_, first_, last_ - span_);
}

} // namespace chart
