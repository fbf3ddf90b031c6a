#include "late_status.h"

namespace simulation {

LateStatus::LateStatus(Clock::duration lag, Clock::duration period, Clock::time_point phase,
                       bool initialLevel)
    : lag_(lag), period_(period), phase_(phase), oldestLevel_(initialLevel) {}

void LateStatus::lineChanged(Clock::time_point at, bool level) {
    changes_.emplace_back(at, level);
}

LateStatus::Clock::time_point LateStatus::lastRefreshBefore(Clock::time_point now) const {
    if (period_ <= Clock::duration::zero())
        return now;
    auto periods = (now - phase_) / period_;
    if (now < phase_ + periods * period_)  // integer division rounds towards zero
        --periods;
    return phase_ + periods * period_;
}

bool LateStatus::seenAt(Clock::time_point now) {
    const Clock::time_point sampled = lastRefreshBefore(now) - lag_;
    // Changes before the sampled instant are settled history: fold them in,
    // so the list stays as short as lag + period of changes.
    while (!changes_.empty() && changes_.front().first <= sampled) {
        oldestLevel_ = changes_.front().second;
        changes_.pop_front();
    }
    return oldestLevel_;
}

void LateStatus::retime(Clock::duration lag, Clock::duration period) {
    lag_ = lag;
    period_ = period;
}

} // namespace simulation
