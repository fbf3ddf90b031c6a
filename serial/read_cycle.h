#pragma once
// Clocks one 10-bit code out of the converter on the modem lines:
// DTR is the (active-low) select, RTS the clock, DCD the data, MSB first.
//
// The edges of one read are always these, in this order:
//   DTR off, 9 x (RTS on, RTS off), RTS on, DTR on, RTS off
// with the bits read from DCD after the select and after each fall of RTS,
// so after the tenth bit RTS falls only once DTR has risen again.
//
// Many ports show a change of DCD late: USB adapters answer from a copy of
// the modem status that they refresh every few to a few hundred
// milliseconds. A bit read too soon after the edge that put it on the line
// is the previous bit, and the code read is plausible and wrong. So a read
// is made in steps, at most one port call per step (but for a bit read and
// the edge after it), which the caller makes on its own ticks, about a
// millisecond apart; and the cycle learns from the line how late it shows
// DCD (DcdDelay). Each edge and each look is timed when its call returns,
// on the cycle's own clock, so a call's own duration never shortens a wait.
//
// - Measuring: with too little learnt, or after a read that went wrong. The
//   line is let rest first; then each edge is watched on every tick until
//   its change has come, or for as long as any change could take, so that
//   nothing is still on its way when the next edge comes. Where the select
//   does not move DCD, that is known only from a read that saw something
//   move later, and the next measuring read watches every edge.
// - Probing: with nothing learnt, after a read in which nothing moved. A
//   look every few ticks; anything that moves makes the read untrusted and
//   the next one measure.
// - Routine: each bit is read once the learnt wait has passed since its
//   edge. Where the previous code says the select moves DCD, the select is
//   watched until its change comes, however late: nothing else moves until
//   the first clock, so a delay that has grown shows there, and the read
//   waits it out. Where the port is slow (the wait leaves less than twice
//   its longest delay), or the last read went wrong, every edge is watched
//   on every tick: a change sooner than half the soonest ever seen is a
//   late one of the edge before, and so is one that a stalled tick hides
//   where the delay varies. Otherwise a look halfway through a bit's wait,
//   as far as 42 calls a read allow, sees that DCD holds still.
// - Quiet: a read in which DCD never changed keeps the converter selected
//   after its last bit and looks every few ticks until the longest delay a
//   reading can afford has passed: a bit still on its way would show.
//
// A read that shows a change no edge explains (two after one edge, one too
// soon for its edge, one where nothing moved, a select's change later than
// the wait that could not be measured) yields no reading.
//
// A text::Error from any call propagates; the cycle then stands where it was
// and the lines as that call left them.

#include "dcd_delay.h"
#include "serial_line.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace serial {

inline constexpr int kSampleBitCount = 10;
using SampleBits = std::array<std::int16_t, kSampleBitCount>;

// What a read came to. Only a Reading has bits.
enum class ReadResult {
    Reading,
    TakenTooEarly,  // a change came after its bit was read: the delay grew
    Unsettled,      // DCD changed where no edge explains it
    TooSlow,        // the port shows DCD too late to fit a reading in at all
};

struct ReadOutcome {
    ReadResult result = ReadResult::Reading;
    SampleBits bits{};
};

class ReadCycle {
public:
    using Clock = DcdDelay::Clock;
    using Duration = DcdDelay::Duration;
    using Now = std::function<Clock::time_point()>;

    explicit ReadCycle(Now now);

    // Whether a read has begun and not yet ended or been abandoned: steps
    // are wanted.
    bool running() const noexcept { return phase_ != Phase::Idle; }
    // Whether a new read may begin: the last one has made all its edges.
    // It may still be waiting for its last look, which the new read's first
    // step then makes at once, returning what that read came to.
    bool canStart() const noexcept { return phase_ == Phase::Idle || phase_ == Phase::DeselectCheck; }

    // Begins a read; the first step makes its first call.
    void start();

    // Drops a read in progress; it yields nothing.
    void abandon() noexcept { phase_ = Phase::Idle; }

    // Makes the read's next call if one is due, at most one call. Returns
    // what the read came to with its last call.
    std::optional<ReadOutcome> step(SerialLine& line);

    // What has been learnt of the port.
    const DcdDelay& delay() const noexcept { return delay_; }

private:
    static constexpr Duration kTick = std::chrono::milliseconds(1);
    // Looks where nothing is known, and during a quiet read's wait: well
    // within the shortest time a bit can show through an adapter's refreshed
    // copy of the status (about half the shortest wait), so none is missed.
    static constexpr Duration kLookSpacing = std::chrono::milliseconds(8);
    // Line calls a read may make on a prompt port: its 22 edges, a look at
    // each bit, and ten more to check that nothing moves where nothing should.
    static constexpr int kCallsOnAPromptPort = 42;
    // Reads after one that went wrong that watch every edge throughout,
    // before a prompt port is trusted again with a look or two a bit.
    static constexpr int kWaryReads = 3;

    enum class Phase { Idle, Look, Select, Bit, ClockDown, Quiet, Deselect, LastClockDown, DeselectCheck };
    // How DCD is watched after an edge, before its bit is taken.
    enum class Watch {
        None,       // one look, once the wait has passed
        Select,     // the select that should move DCD: from the earliest a
                    // change comes until it does, however long it takes
        Every,      // every tick until the change, then the wait: where the
                    // delay varies, so that a change come too early shows
        Measuring,  // every tick until the change, or for as long as any
                    // change could take; the bit is taken as soon as known
        Probe,      // every tick until the wait is over, nothing measured:
                    // with no delay known, to see whether anything moves
    };
    struct Window {
        Watch watch = Watch::None;
        Clock::time_point edgeAt;    // when the edge's call returned
        bool before = false;         // DCD as last seen before the edge
        Clock::time_point lastLook;  // when the latest look began
        std::optional<bool> seen;    // the level this edge's change brought
        bool watchOver = false;
        bool clockUp = false;        // RTS has risen for this bit
        Duration watchFrom{}, watchUntil{};
        std::optional<Duration> checkAt;  // one look halfway, where no watch
        std::optional<bool> halfway;      // ...and what it saw
    };

    std::optional<ReadOutcome> stepBit(SerialLine& line);
    bool clockRisesNow(Duration elapsed, Duration wait) const;
    std::optional<ReadOutcome> stepQuiet(SerialLine& line);
    std::optional<ReadOutcome> finish();
    void begin();
    Clock::time_point edge(SerialLine& line, void (SerialLine::*call)(bool), bool level);
    bool look(SerialLine& line, Clock::time_point& began);
    void planWindow(Clock::time_point edgeAt);
    void watchLook(SerialLine& line);
    void seeLevel(bool level, Clock::time_point began, Clock::time_point returned,
                  bool measures = true);
    void noteLook(bool level, Clock::time_point began);
    void endWindow(bool bit);
    void spoil(ReadResult why);
    Duration watchCap() const;
    Duration horizon() const { return delay_.longestAffordableWait(); }

    Now now_;
    DcdDelay delay_;
    Phase phase_ = Phase::Idle;
    int bit_ = 0;
    int calls_ = 0;               // line calls this read has made
    Window window_;
    SampleBits bits_{};
    bool restLevel_ = false;      // DCD before the select
    bool lastLevel_ = false;      // DCD as last seen
    bool changed_ = false;        // DCD has changed during this read
    bool probeMoved_ = false;     // ...where nothing was known to go by
    bool measuring_ = false;      // this read measures
    bool watchClocks_ = false;    // ...watching every edge, not just the select
    bool probing_ = false;        // ...only looking whether anything moves
    bool selectMoved_ = false;    // the select moved DCD
    std::optional<Duration> firstDelay_;  // this read's first change's
    std::optional<ReadResult> spoilt_;
    bool settled_ = true;         // the last read's deselect has come through
    Clock::time_point lastClockEdge_, nextQuietLook_;
    std::optional<Clock::time_point> deselectAt_;
    // Between reads.
    std::optional<SampleBits> previous_;  // the last good reading's bits
    bool measureNext_ = true;
    bool watchClocksNext_ = false;  // the next measuring read watches every edge
    bool lastQuiet_ = false;        // nothing moved in the last read
    int wary_ = 0;                  // reads still to watch every edge
    bool startWaiting_ = false;     // a read was begun during the last one's last look
};

// Bits weighted 512 down to 1 as double-precision powers of two, summed
// from index 0 upwards: always a whole number 0 to 1023.
double sampleCode(const SampleBits& bits);

} // namespace serial
