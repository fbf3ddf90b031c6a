#include "dcd_delay.h"

#include <algorithm>

namespace serial {
namespace {

// A running average that follows the port's call times within about eight
// calls, so a single slow call moves it little.
void smooth(DcdDelay::Duration& average, DcdDelay::Duration sample, bool first) {
    average = first ? sample : average + (sample - average) / 8;
}

constexpr DcdDelay::Duration kTick = 1ms;

} // namespace

void DcdDelay::measured(Duration delay, Clock::time_point at) {
    if (count_ > 0) {
        const Measurement& newest = measurements_[(next_ + kKept - 1) % kKept];
        if (at - newest.at > kForgetAfter)
            forget();
    }
    measurements_[next_] = {delay, at};
    next_ = (next_ + 1) % kKept;
    count_ = std::min(count_ + 1, kKept);
    // Asked on every tick of a read: worked out here, once a measurement.
    longest_ = Duration::zero();
    shortest_ = Duration::max();
    for (int i = 0; i < count_; ++i) {
        longest_ = std::max(longest_, measurements_[i].delay);
        shortest_ = std::min(shortest_, measurements_[i].delay);
    }
}

void DcdDelay::edgeCallTook(Duration took) {
    smooth(edgeCall_, took, edgeCall_ == Duration::zero());
}

void DcdDelay::readTook(Duration took) {
    smooth(read_, took, read_ == Duration::zero());
}

void DcdDelay::forget() {
    count_ = 0;
    next_ = 0;
    longest_ = shortest_ = Duration::zero();
}

bool DcdDelay::known(Clock::time_point now) const {
    if (count_ < kEnoughToGoBy)
        return false;
    return now - measurements_[(next_ + kKept - 1) % kKept].at <= kForgetAfter;
}

DcdDelay::Duration DcdDelay::wait() const {
    if (count_ == 0)
        return kWaitUnmeasured;
    // The longest seen is where changes have come so far; where the delay
    // varies (an adapter that refreshes a copy of the status), the longest
    // yet seen falls short of the longest there is by a part of the spread.
    const Duration longestSeen = longest();
    const Duration spread = longestSeen - std::min(longestSeen, shortest());
    const Duration wait = std::max(kShortestWait, longestSeen + 1500us + spread / 8);
    return count_ < kEnoughToGoBy ? std::max(wait, kWaitUnmeasured) : wait;
}

bool DcdDelay::watchesEveryEdge() const {
    // Where the wait leaves twice the longest delay seen, a change cannot
    // come so late as to pass for the next edge's unless the delay has
    // more than doubled, which the select's watch sees (read_cycle.h).
    return !readsBlock() && 2 * longest() > kShortestWait;
}

bool DcdDelay::varies() const {
    return count_ >= 2 && longest() - shortest() > 2 * kTick;
}

DcdDelay::Duration DcdDelay::tooSoon() const {
    // Half the soonest any change has come: a change come late from the
    // edge before shows within a few milliseconds of the next edge, and the
    // soonest seen may yet be well above the soonest there is.
    return shortest() / 2;
}

DcdDelay::Duration DcdDelay::watchFrom() const {
    return std::max(kTick, shortest() - 2 * kTick);
}

bool DcdDelay::readsBlock() const {
    return read_ >= kBlockingRead;
}

DcdDelay::Duration DcdDelay::readingTimeAt(Duration wait) const {
    // Ten bits, each an edge call, the wait and half a tick, on average,
    // before the tick that reads it and makes the next edge; then DTR up
    // and RTS down, and the look at DCD before the reading begins.
    const Duration perBit = edgeCall_ + wait + kTick / 2;
    return 10 * perBit + 2 * (edgeCall_ + kTick) + read_ + kTick;
}

DcdDelay::Duration DcdDelay::readingTime() const {
    return readingTimeAt(wait());
}

int DcdDelay::periodsPerReading() const {
    const Duration time = readingTime();
    for (int periods = 1; periods <= kMostPeriodsPerReading; ++periods)
        if (time <= periods * kTimer1Period - kPeriodSpare)
            return periods;
    return 0;
}

DcdDelay::Duration DcdDelay::longestAffordableWait() const {
    const Duration budget = kMostPeriodsPerReading * kTimer1Period - kPeriodSpare;
    const Duration rest = budget - readingTimeAt(Duration::zero());
    return std::max(kShortestWait, rest / 10);
}

} // namespace serial
