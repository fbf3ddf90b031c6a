#include "read_cycle.h"

#include <algorithm>

namespace serial {

using Duration = ReadCycle::Duration;

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
