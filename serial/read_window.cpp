// The read cycle's part for one bit: how the window after an edge is
// planned (which watch, which looks), stepped, and ended with its bit.

#include "read_cycle.h"

#include <algorithm>

namespace serial {

using Duration = ReadCycle::Duration;

void ReadCycle::planWindow(Clock::time_point edgeAt) {
    Window w;
    w.edgeAt = w.lastLook = edgeAt;
    w.before = lastLevel_;
    w.watchFrom = kTick;
    const bool select = bit_ == 0;
    if (select && !settled_) {
        // A change of the last read's deselect may come yet: the bit is
        // read once both have come, but neither can be told apart.
    } else if (probing_ || (measuring_ && !select && !firstDelay_ && !watchClocks_ &&
                            !delay_.known(now_()))) {
        // Nothing to go by: every tick is looked at, so that whatever moves
        // is seen and the read is measured again.
        w.watch = Watch::Probe;
    } else if (measuring_ && (select || firstDelay_ || watchClocks_)) {
        // Until a change has been measured, only edges with nothing still
        // on its way from before can be: the select, and with watchClocks_
        // every edge, each watched for as long as a change could take.
        w.watch = Watch::Measuring;
        w.watchUntil = firstDelay_ ? watchCap() : horizon();
    } else if (delay_.watchesEveryEdge() || (wary_ > 0 && !delay_.readsBlock())) {
        w.watch = Watch::Every;
    } else if (select && previous_ && ((*previous_)[0] != 0) != restLevel_ &&
               !delay_.readsBlock()) {
        // (Where each look waits for the adapter, the adapter asks the chip
        // on each: its delay is the look's own, and one look a bit is all.)
        w.watch = Watch::Select;
        w.watchFrom = delay_.watchFrom();
        w.watchUntil = horizon();
    }
    // Where a bit is looked at once, a look halfway through its wait sees
    // the same as that one, or DCD moved with nothing to move it (a grown
    // delay, a loose wire): as many such looks as a prompt port's calls
    // allow, the edges and a look a bit still to come.
    const int stillToCome = 2 + (kSampleBitCount - 1 - bit_) * 3 + 2;
    if (w.watch == Watch::None && !(select && !settled_) && !delay_.readsBlock() &&
        !delay_.watchesEveryEdge() && calls_ + 1 + stillToCome <= kCallsOnAPromptPort)
        w.checkAt = delay_.wait() / 2;
    window_ = w;
}

bool ReadCycle::clockRisesNow(Duration elapsed, Duration wait) const {
    // RTS rises where its call takes no look from where a change is due:
    // where every tick is watched, once a look has seen that no change came
    // too soon (or at once, where nothing is known); after the watch where
    // one edge is; and otherwise just before the bit is due, so that the
    // next fall comes right after it.
    const bool bitDue = elapsed + delay_.edgeCallTime() + kTick >= wait;
    switch (window_.watch) {
    case Watch::Every:
        return bitDue || window_.lastLook - window_.edgeAt >= delay_.tooSoon();
    case Watch::Probe:
        return true;
    case Watch::Select:
    case Watch::Measuring:
        return window_.watchOver;
    case Watch::None:
        return bitDue;
    }
    return true;
}

std::optional<ReadOutcome> ReadCycle::stepBit(SerialLine& line) {
    Window& w = window_;
    const Duration elapsed = now_() - w.edgeAt;
    const Duration wait = delay_.wait();
    if (w.checkAt && elapsed >= *w.checkAt && elapsed < wait) {
        w.checkAt.reset();
        Clock::time_point began;
        w.halfway = look(line, began);
        seeLevel(*w.halfway, began, now_());
        return std::nullopt;
    }
    if (!w.clockUp && clockRisesNow(elapsed, wait)) {
        edge(line, &SerialLine::RTSEnable, true);
        w.clockUp = true;
        if (w.watch == Watch::Measuring)
            endWindow(lastLevel_);  // the bit is known; the next edge may follow
        return std::nullopt;
    }
    if (w.watch != Watch::None && !w.watchOver) {
        // Every tick, but where nothing is known, and where a select's
        // change has not come by the wait: then either the first bit is not
        // what the last reading's was, or the delay has grown, and a look
        // every few ticks tells which (a grown delay, unmeasured so, makes
        // the read go wrong and the next one measure it).
        const bool sparse = w.watch == Watch::Probe ||
                            (w.watch == Watch::Select && elapsed > wait + kTick);
        const bool spaced = !sparse || w.lastLook == w.edgeAt || now_() - w.lastLook >= kLookSpacing;
        if (elapsed >= w.watchFrom && spaced)
            watchLook(line);
        return std::nullopt;
    }
    if (elapsed < wait)
        return std::nullopt;
    if (w.seen && delay_.readsBlock()) {
        endWindow(*w.seen);  // a slow read is not spent on what is known
        return std::nullopt;
    }
    Clock::time_point began;
    const bool level = look(line, began);
    // On a port this prompt every change has come by half the wait: one
    // after that came from nothing this read did.
    if (w.halfway && level != *w.halfway)
        spoil(ReadResult::Unsettled);
    seeLevel(level, began, now_(), w.watch != Watch::Probe);
    endWindow(level);
    // The bit is read: the edge after it follows on the same tick, so that
    // a reading is not a tick longer for every bit.
    if (phase_ == Phase::ClockDown || phase_ == Phase::Deselect)
        return step(line);
    return std::nullopt;
}

void ReadCycle::watchLook(SerialLine& line) {
    Window& w = window_;
    const bool hadSeen = w.seen.has_value();
    Clock::time_point began;
    const bool level = look(line, began);
    const Clock::time_point returned = now_();
    const Duration at = returned - w.edgeAt;
    // Watched from the edge on, a change that came sooner than any of this
    // port's ever came is a late one of the edge before: no measurement.
    // Where the delay varies, so that a late one is to be expected, a
    // change after a stalled tick that left no look between the edge and
    // that moment cannot be told from one, and is not trusted either.
    const Duration lookedBy = delay_.varies() ? w.lastLook - w.edgeAt : at;
    const bool tooSoon = w.watch == Watch::Every && !hadSeen && level != w.before &&
                         lookedBy < delay_.tooSoon();
    if (tooSoon)
        spoil(ReadResult::TakenTooEarly);
    seeLevel(level, began, returned, !tooSoon && w.watch != Watch::Probe);
    // A select whose change came later than the wait, seen only after a
    // stalled tick and so not measured: the delay has grown by an unknown
    // amount, and the read cannot go on at the old wait.
    if (w.watch == Watch::Select && !hadSeen && w.seen && at > delay_.wait())
        spoil(ReadResult::TakenTooEarly);
    const bool confirmed = hadSeen && w.seen;
    switch (w.watch) {
    case Watch::Measuring:
        w.watchOver = confirmed || at >= w.watchUntil;
        break;
    case Watch::Every:
    case Watch::Probe:
        w.watchOver = at >= delay_.wait();
        break;
    case Watch::Select:
        w.watchOver = w.seen || at >= w.watchUntil;
        break;
    case Watch::None:
        break;
    }
}

void ReadCycle::seeLevel(bool level, Clock::time_point began, Clock::time_point returned,
                         bool measures) {
    Window& w = window_;
    if (!w.seen && level != w.before) {
        w.seen = level;
        // Only a change seen soon after the previous look tells when it
        // came; a look made after a stalled tick says only that it had.
        const Duration delay = returned - w.edgeAt;
        if (measures && returned - std::max(w.lastLook, w.edgeAt) <= DcdDelay::kMeasuringGap)
            delay_.measured(delay, returned);
        if (w.watch == Watch::Measuring && !firstDelay_) {
            firstDelay_ = delay;
            w.watchUntil = std::max(delay, watchCap());
        }
    } else if (w.seen && level != *w.seen) {
        spoil(ReadResult::Unsettled);  // one edge moves DCD once
    }
    noteLook(level, began);
}

void ReadCycle::noteLook(bool level, Clock::time_point began) {
    window_.lastLook = began;
    lastLevel_ = level;
    changed_ = changed_ || level != restLevel_;
    probeMoved_ = probeMoved_ || (window_.watch == Watch::Probe && level != window_.before);
}

void ReadCycle::endWindow(bool bit) {
    bits_[bit_] = bit ? 1 : 0;
    lastLevel_ = bit;
    if (bit_ == 0)
        selectMoved_ = window_.seen.has_value();
    if (bit_ < kSampleBitCount - 1) {
        phase_ = Phase::ClockDown;
    } else if (!changed_ && !spoilt_) {
        phase_ = Phase::Quiet;
        nextQuietLook_ = now_() + kLookSpacing;
    } else {
        phase_ = Phase::Deselect;
    }
}

} // namespace serial
