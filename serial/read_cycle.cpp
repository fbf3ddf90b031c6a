#include "read_cycle.h"

#include <cmath>

namespace serial {

SampleBits readSampleBits(SerialLine& line) {
    SampleBits bits{};
    line.DTREnable(false);
    for (int k = 0; k < kSampleBitCount; ++k) {
        line.RTSEnable(true);
        bits[k] = line.CDHolding() ? 1 : 0;
        if (k < kSampleBitCount - 1)
            line.RTSEnable(false);
    }
    // Deselect before the last clock fall, so that edge shifts nothing.
    line.DTREnable(true);
    line.RTSEnable(false);
    return bits;
}

double sampleCode(const SampleBits& bits) {
    double code = 0.0;
    for (int k = 0; k < kSampleBitCount; ++k)
        code += bits[k] * std::pow(2.0, kSampleBitCount - 1 - k);
    return code;
}

} // namespace serial
