#include "read_cycle.h"

namespace serial {
namespace {

enum class Call { Select, ClockUp, Sample, ClockDown, Deselect };

// Call 0 selects; each bit k is calls 3k+1 to 3k+3 (clock up, sample,
// clock down), except that the last bit deselects before its clock falls.
constexpr Call callAt(int index) {
    if (index == 0)
        return Call::Select;
    if (index == kCallsPerRead - 2)
        return Call::Deselect;
    if (index == kCallsPerRead - 1)
        return Call::ClockDown;
    constexpr Call kBitCalls[] = {Call::ClockUp, Call::Sample, Call::ClockDown};
    return kBitCalls[(index - 1) % 3];
}

static_assert(callAt(kCallsPerRead - 3) == Call::Sample, "the tenth sample precedes the deselect");

} // namespace

std::optional<SampleBits> ReadCycle::step(SerialLine& line, Clock::time_point now) {
    if (!running())
        return std::nullopt;
    switch (callAt(next_)) {
    case Call::Select:
        line.DTREnable(false);
        lastDataEdge_ = now;
        break;
    case Call::ClockUp:
        line.RTSEnable(true);
        break;
    case Call::Sample:
        if (now - lastDataEdge_ < settle_)
            return std::nullopt;
        bits_[(next_ - 1) / 3] = line.CDHolding() ? 1 : 0;
        break;
    case Call::ClockDown:
        line.RTSEnable(false);
        lastDataEdge_ = now;
        break;
    case Call::Deselect:
        line.DTREnable(true);
        break;
    }
    if (++next_ < kCallsPerRead)
        return std::nullopt;
    next_ = -1;
    return bits_;
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
