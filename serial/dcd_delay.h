#pragma once
// What the read cycle has learnt about how late this port shows DCD: how
// long after an edge of DTR or RTS the change of DCD it caused is seen, and
// how long the port's own calls take. From that it derives how long to wait
// after each edge before a bit is read, when a check is worth making, and
// how often a whole reading fits into Timer1's one-second ticks.
//
// A delay is measured only when a change of DCD was seen by a poll that
// came at most a tick or two after the previous look at the line (the edge
// itself or the poll before), so it is the delay to within that; the read
// cycle decides which changes qualify (read_cycle.h). The wait follows the
// longest of the recent measurements with a margin, never below
// kShortestWait; old measurements make way for new ones, so one slow moment
// does not raise the wait for good.

#include <array>
#include <chrono>
#include <cstdint>

namespace serial {

using namespace std::chrono_literals;

class DcdDelay {
public:
    using Clock = std::chrono::steady_clock;
    using Duration = Clock::duration;

    // Never less than this after an edge: the wait that has always read the
    // adapters we know of, 20 ms late at most, correctly.
    static constexpr Duration kShortestWait = 21ms;
    // The wait before enough is known to go by: long enough that a bit
    // lasts longer than the status copies of common adapters take to be
    // refreshed (FTDI's 16 ms, and more), so that no single bit can come and
    // go between two refreshes unseen.
    static constexpr Duration kWaitUnmeasured = 41ms;
    // A change seen this soon after the previous look counts as measured:
    // a tick or two, and the look's own time. A stalled thread takes longer.
    static constexpr Duration kMeasuringGap = 4ms;
    // A DCD read that takes this long asks the adapter over USB each time:
    // such a port is polled at most once per edge.
    static constexpr Duration kBlockingRead = 700us;
    // Timer1's period, and what a reading leaves of it for the tick's own
    // lateness and the keep-alive's.
    static constexpr Duration kTimer1Period = 1000ms;
    static constexpr Duration kPeriodSpare = 50ms;
    static constexpr int kMostPeriodsPerReading = 3;

    // A change of DCD seen `delay` after the edge that caused it, at `at`.
    void measured(Duration delay, Clock::time_point at);
    // How long one DTR or RTS call took, and one DCD read.
    void edgeCallTook(Duration took);
    void readTook(Duration took);
    // Forgets every measurement: the line can no longer be trusted.
    void forget();

    // Whether enough has been measured, recently enough, to go by.
    bool known(Clock::time_point now) const;
    // The longest and shortest of the recent measurements; zero if none.
    Duration longest() const { return longest_; }
    Duration shortest() const { return shortest_; }
    // The wait after an edge before its bit is read.
    Duration wait() const;
    // Where a change of DCD may come late enough to need watching for: on
    // every edge, so that one still on its way from the edge before shows
    // (tooSoon()), unless the port's reads are costly.
    bool watchesEveryEdge() const;
    // Whether the delay varies from change to change by more than a tick or
    // two: the port answers from a copy it refreshes now and then.
    bool varies() const;
    // A change seen this soon after an edge is not that edge's: sooner than
    // any change of this port's has come, by a margin.
    Duration tooSoon() const;
    // From when a change of an edge's is worth looking for.
    Duration watchFrom() const;
    // How long a DTR or RTS call takes, lately.
    Duration edgeCallTime() const { return edgeCall_; }
    // Whether each DCD read blocks the program for a noticeable time.
    bool readsBlock() const;
    // How long a whole reading takes at this wait, and how many Timer1
    // periods it takes up: 1 to kMostPeriodsPerReading, or 0 when a reading
    // cannot be fitted in at all.
    Duration readingTime() const;
    int periodsPerReading() const;
    // The longest wait a reading can afford at all: what the watch after an
    // edge gives up at.
    Duration longestAffordableWait() const;

private:
    static constexpr int kKept = 32;        // measurements the wait follows
    static constexpr int kEnoughToGoBy = 4;  // ...before it follows them
    static constexpr auto kForgetAfter = std::chrono::minutes(10);

    struct Measurement {
        Duration delay;
        Clock::time_point at;
    };
    Duration readingTimeAt(Duration wait) const;

    std::array<Measurement, kKept> measurements_{};
    int count_ = 0;      // how many of measurements_ hold one
    int next_ = 0;       // where the next goes
    Duration longest_{}, shortest_{};
    Duration edgeCall_{};  // smoothed duration of a DTR or RTS call
    Duration read_{};      // smoothed duration of a DCD read
};

} // namespace serial
