#pragma once
// Clocks one 10-bit code out of the converter on the modem lines:
// DTR is the (active-low) select, RTS the clock, DCD the data, MSB first.
//
// One read is exactly these 32 port calls, in this order:
//   DTR off, 9 x (RTS on, read DCD, RTS off), RTS on, read DCD, DTR on, RTS off
// so after the tenth sample RTS falls only once DTR has risen again.
//
// Many USB serial adapters report the modem lines late: their drivers answer
// DCD from a copy of the status that the adapter refreshes every few
// milliseconds, up to kStatusLatency after the line changed. So a read is
// made in steps, one port call per step, and a DCD read is due only once
// the settle time has passed since the edge whose bit it reads (the falling
// DTR or RTS edge before it). The caller steps the cycle on its own ticks;
// waits are measured on the monotonic clock it hands in, so a late or merged
// tick never shortens one. With a settle time of zero and one `now` for
// every step, the whole read is the 32 calls back to back.
//
// A text::Error from any call propagates; the cycle then stands where it was
// and the lines as that call left them.

#include "serial_line.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>

namespace serial {

inline constexpr int kSampleBitCount = 10;
inline constexpr int kCallsPerRead = 32;
using SampleBits = std::array<std::int16_t, kSampleBitCount>;

// The longest a status change takes to reach a DCD read through the
// adapters we know of, and the wait that outlasts it by a tick.
inline constexpr std::chrono::milliseconds kStatusLatency{20};
inline constexpr std::chrono::milliseconds kSettleTime = kStatusLatency + std::chrono::milliseconds(1);

class ReadCycle {
public:
    using Clock = std::chrono::steady_clock;

    explicit ReadCycle(Clock::duration settle = kSettleTime) noexcept : settle_(settle) {}

    // Whether a read has begun and not yet ended or been abandoned.
    bool running() const noexcept { return next_ >= 0; }

    // Begins a read; the first step makes its first call.
    void start() noexcept { next_ = 0; }

    // Drops a read in progress; its bits are never delivered.
    void abandon() noexcept { next_ = -1; }

    // Makes the read's next call if it is due at `now`, at most one call.
    // Returns the bits, index 0 the most significant, with the last call.
    std::optional<SampleBits> step(SerialLine& line, Clock::time_point now);

private:
    Clock::duration settle_;
    int next_ = -1;  // index of the next of the 32 calls; -1: not reading
    Clock::time_point lastDataEdge_{};
    SampleBits bits_{};
};

// Bits weighted 512 down to 1 as double-precision powers of two, summed
// from index 0 upwards: always a whole number 0 to 1023.
double sampleCode(const SampleBits& bits);

} // namespace serial
