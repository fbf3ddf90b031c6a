#pragma once
// The result of one sampling cycle, overwritten by the next. Nothing reads a
// field before the cycle that writes it.

#include "read_cycle.h"

#include <QString>

struct Reading {
    serial::SampleBits SampleBits{};
    double SampleCode = 0.0;
    QString VoltageText;
    float Temperature = 0.0f;
};
