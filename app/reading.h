#pragma once
// The result of one sampling cycle, overwritten by the next. Nothing reads a
// field before the cycle that writes it.

#include "read_cycle.h"

#include <string>

namespace app {

struct Reading {
    serial::SampleBits SampleBits{};
    double SampleCode = 0.0;
    std::string VoltageText;  // UTF-8
    float Temperature = 0.0f;
};

} // namespace app
