#pragma once
// A modem-status input as many USB serial adapters report it. Their
// drivers answer a status query from a copy that is refreshed every
// `period`, at a phase of its own, and each refresh holds the level the
// line had `lag` before it (the adapter's own sampling and the trip over
// USB). A change on the line is therefore seen up to lag + period later.
// A period of zero refreshes on every query. The timing can change while
// running (a busy bus, a hub); a copy never goes back in time, so a lag
// that grows holds the last level seen until the line catches up.

#include <chrono>
#include <deque>
#include <utility>

namespace simulation {

class LateStatus {
public:
    using Clock = std::chrono::steady_clock;

    LateStatus(Clock::duration lag, Clock::duration period, Clock::time_point phase,
               bool initialLevel = false);

    // The line took `level` at `at`; calls come in time order.
    void lineChanged(Clock::time_point at, bool level);
    // The level a query made at `now` reports.
    bool seenAt(Clock::time_point now);
    // From now on, refreshes come every `period`, each `lag` behind.
    void retime(Clock::duration lag, Clock::duration period);

private:
    Clock::time_point lastRefreshBefore(Clock::time_point now) const;

    Clock::duration lag_;
    Clock::duration period_;
    Clock::time_point phase_;
    bool oldestLevel_;  // the level before every change still kept
    std::deque<std::pair<Clock::time_point, bool>> changes_;
};

} // namespace simulation
