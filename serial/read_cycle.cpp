#include "read_cycle.h"

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
    // 2^9 down to 2^0, exact in double precision (and no maths library
    // in the program for ten constants).
    static constexpr double kWeights[kSampleBitCount] = {512, 256, 128, 64, 32, 16, 8, 4, 2, 1};
    double code = 0.0;
    for (int k = 0; k < kSampleBitCount; ++k)
        code += bits[k] * kWeights[k];
    return code;
}

} // namespace serial
