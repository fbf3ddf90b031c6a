#include "read_cycle.h"

#include <algorithm>

namespace serial {
namespace {

using Duration = ReadCycle::Duration;

constexpr Duration kTick = 1ms;
// Looks where nothing is known, and during a quiet read's wait: well
// within the shortest time a bit can show through an adapter's refreshed
// copy of the status (about half the shortest wait), so none is missed.
constexpr Duration kLookSpacing = 8ms;
// Line calls a read may make on a prompt port: its 22 edges, a look at each
// bit, and ten more to check that nothing moves where nothing should.
constexpr int kCallsOnAPromptPort = 42;
// Reads after one that went wrong that watch every edge throughout, before
// a prompt port is trusted again with a look or two a bit.
constexpr int kWaryReads = 3;

} // namespace

ReadCycle::ReadCycle(Now now) : now_(std::move(now)) {}

void ReadCycle::start() {
    if (phase_ == Phase::DeselectCheck)
        startWaiting_ = true;
    else
        begin();
}

void ReadCycle::begin() {
    startWaiting_ = false;
    measuring_ = measureNext_ || !delay_.known(now_()) || delay_.periodsPerReading() == 0;
    watchClocks_ = measuring_ && watchClocksNext_;
    // A read in which nothing moved is not measured on: its select would be
    // watched in vain for as long as any change could take, every second.
    probing_ = measuring_ && lastQuiet_ && !watchClocks_;
    phase_ = Phase::Look;
    bit_ = 0;
    bits_ = {};
    calls_ = 0;
    changed_ = false;
    probeMoved_ = false;
    selectMoved_ = false;
    firstDelay_.reset();
    spoilt_.reset();
}

ReadCycle::Clock::time_point ReadCycle::edge(SerialLine& line, void (SerialLine::*call)(bool),
                                             bool level) {
    const auto began = now_();
    ++calls_;
    (line.*call)(level);
    // The edge is on the line once the call has returned, however long the
    // call took: the wait for its bit starts here.
    const auto returned = now_();
    delay_.edgeCallTook(returned - began);
    return returned;
}

bool ReadCycle::look(SerialLine& line, Clock::time_point& began) {
    began = now_();
    ++calls_;
    const bool level = line.CDHolding();
    delay_.readTook(now_() - began);
    return level;
}

std::optional<ReadOutcome> ReadCycle::step(SerialLine& line) {
    switch (phase_) {
    case Phase::Idle:
        return std::nullopt;
    case Phase::Look: {
        // The last read's deselect may still be on its way. A measuring
        // read waits for the line to rest, so that its select is watched
        // alone; another goes on, and reads its first bit unwatched (or,
        // probing, takes whatever moves as a reason to measure).
        // After a read that went wrong, or with nothing known, a change may
        // still be on its way for as long as any could take.
        const bool trusted = delay_.known(now_()) && !measureNext_;
        settled_ = !deselectAt_ || now_() - *deselectAt_ >= (trusted ? delay_.wait() : horizon());
        if (!settled_ && measuring_ && !probing_)
            return std::nullopt;
        Clock::time_point began;
        restLevel_ = lastLevel_ = look(line, began);
        phase_ = Phase::Select;
        return std::nullopt;
    }
    case Phase::Select:
        planWindow(edge(line, &SerialLine::DTREnable, false));
        phase_ = Phase::Bit;
        return std::nullopt;
    case Phase::Bit:
        return stepBit(line);
    case Phase::ClockDown:
        ++bit_;
        lastClockEdge_ = edge(line, &SerialLine::RTSEnable, false);
        planWindow(lastClockEdge_);
        phase_ = Phase::Bit;
        return std::nullopt;
    case Phase::Quiet:
        return stepQuiet(line);
    case Phase::Deselect:
        deselectAt_ = edge(line, &SerialLine::DTREnable, true);
        phase_ = Phase::LastClockDown;
        return std::nullopt;
    case Phase::LastClockDown:
        edge(line, &SerialLine::RTSEnable, false);
        if (spoilt_ || !delay_.watchesEveryEdge())
            return finish();
        phase_ = Phase::DeselectCheck;
        return std::nullopt;
    case Phase::DeselectCheck: {
        // The tenth bit has no edge after it whose watch would see its
        // change come late; a look just before the deselect's own change
        // could come does. A new read makes it at once, as late as it can.
        const Duration since = now_() - *deselectAt_;
        if (!startWaiting_ && since + kTick < delay_.tooSoon())
            return std::nullopt;
        // Made late (a stalled tick), a change it sees may be either: the
        // read is not trusted then either.
        Clock::time_point began;
        if (look(line, began) != lastLevel_)
            spoil(ReadResult::TakenTooEarly);
        const bool next = startWaiting_;
        const auto outcome = finish();
        if (next)
            begin();
        return outcome;
    }
    }
    return std::nullopt;
}

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
    } else if (select && previous_ && ((*previous_)[0] != 0) != restLevel_) {
        w.watch = Watch::Select;
        w.watchFrom = delay_.watchFrom();
        w.watchUntil = horizon();
    }
    // Where a bit is looked at once, a look halfway through its wait sees
    // the same as that one, or DCD moved with nothing to move it (a grown
    // delay, a loose wire): as many such looks as a prompt port's calls
    // allow, the edges and a look a bit still to come.
    const int stillToCome = 2 + (kSampleBitCount - 1 - bit_) * 3 + 2;
    if (w.watch == Watch::None && !delay_.readsBlock() &&
        calls_ + 1 + stillToCome <= kCallsOnAPromptPort)
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
        const bool level = look(line, began);
        seeLevel(level, began, now_());
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
        const bool spaced = w.watch != Watch::Probe || w.lastLook == w.edgeAt ||
                            now_() - w.lastLook >= kLookSpacing;
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
        w.watchOver = at >= delay_.wait();
        break;
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

std::optional<ReadOutcome> ReadCycle::stepQuiet(SerialLine& line) {
    // The converter stays selected: whatever DCD does now is a change of
    // this read's, come late.
    const auto now = now_();
    const bool last = now - lastClockEdge_ >= horizon();
    if (now < nextQuietLook_ && !last)
        return std::nullopt;
    Clock::time_point began;
    if (look(line, began) != lastLevel_)
        spoil(ReadResult::TakenTooEarly);
    if (last || spoilt_)
        phase_ = Phase::Deselect;
    nextQuietLook_ = now + kLookSpacing;
    return std::nullopt;
}

void ReadCycle::spoil(ReadResult why) {
    if (!spoilt_)
        spoilt_ = why;
}

std::optional<ReadOutcome> ReadCycle::finish() {
    phase_ = Phase::Idle;
    // Changes read with no delay known could each have been the one before:
    // measure before trusting such a read.
    if (probeMoved_)
        spoil(ReadResult::TakenTooEarly);
    lastQuiet_ = !changed_ && !spoilt_;
    if (spoilt_) {
        measureNext_ = true;
        wary_ = kWaryReads;
        // Where the select did not move, only the edges after it can be
        // measured on.
        watchClocksNext_ = !selectMoved_;
        return ReadOutcome{*spoilt_, {}};
    }
    if (delay_.periodsPerReading() == 0) {
        measureNext_ = true;
        return ReadOutcome{ReadResult::TooSlow, {}};
    }
    measureNext_ = false;
    watchClocksNext_ = false;
    wary_ = std::max(0, wary_ - 1);
    previous_ = bits_;
    return ReadOutcome{ReadResult::Reading, bits_};
}

Duration ReadCycle::watchCap() const {
    // Long enough that a change of this edge's cannot still be on its way
    // when the next edge comes: what the first change took, four times
    // over or 40 ms more, whichever is longer.
    const Duration first = *firstDelay_;
    return std::min(std::max({4 * first, first + 40ms, delay_.wait()}), horizon());
}

double sampleCode(const SampleBits& bits) {
    // 2^9 down to 2^0, exact in double precision (and no maths library
    // in the program for ten constants).
    static constexpr double kWeights[kSampleBitCount] = {512, 256, 128, 64, 32, 16, 8, 4, 2, 1};
    double code = 0.0;
    for (int k = 0; k < kSampleBitCount; ++k)
        code += bits[k] * kWeights[k];
    return code;
}

} // namespace serial
