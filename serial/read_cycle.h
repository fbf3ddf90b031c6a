#pragma once
// Clocks one 10-bit code out of the converter on the modem lines:
// DTR is the (active-low) select, RTS the clock, DCD the data, MSB first.
//
// One read is exactly 32 port calls with no waiting between them:
//   DTR off, 9 x (RTS on, read DCD, RTS off), RTS on, read DCD, DTR on, RTS off
// so after the tenth sample RTS falls only once DTR has risen again.
// A PortError from any call propagates and leaves the lines as they were.

#include "serial_line.h"

#include <array>
#include <cstdint>

namespace serial {

inline constexpr int kSampleBitCount = 10;
using SampleBits = std::array<std::int16_t, kSampleBitCount>;

// Index 0 is the first bit read, the most significant one.
SampleBits readSampleBits(SerialLine& line);

// Bits weighted 512 down to 1 as double-precision powers of two, summed
// from index 0 upwards: always a whole number 0 to 1023.
double sampleCode(const SampleBits& bits);

} // namespace serial
