#include "converter_chip.h"

#include "scale.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace simulation {

ConverterChip::ConverterChip(std::function<double()> input, DeselectedPin pin)
    : input_(std::move(input)), pin_(pin) {}

void ConverterChip::setSelect(bool high) {
    if (selectHigh_ && !high) {
        code_ = codeFor(input_());
        bitsShifted_ = 0;
    } else if (!selectHigh_ && high) {
        switch (pin_) {
        case DeselectedPin::Low:
            deselectedLevel_ = false;
            break;
        case DeselectedPin::KeepsLastBit:
            deselectedLevel_ = data();
            break;
        case DeselectedPin::Floats:
            // A small generator of our own: the level an open input drifts
            // to is nothing the reader may count on.
            floatState_ = floatState_ * 1664525u + 1013904223u;
            deselectedLevel_ = (floatState_ >> 28) & 1;
            break;
        }
    }
    selectHigh_ = high;
}

void ConverterChip::setClock(bool high) {
    const bool fallingEdge = clockHigh_ && !high;
    clockHigh_ = high;
    if (fallingEdge && !selectHigh_ && bitsShifted_ < 10)
        ++bitsShifted_;
}

bool ConverterChip::data() const noexcept {
    if (selectHigh_)
        return deselectedLevel_;
    if (bitsShifted_ >= 10)
        return false;
    return (code_ >> (9 - bitsShifted_)) & 1;
}

int ConverterChip::codeFor(double volts) noexcept {
    const double steps = std::floor(volts * measure::kConverterSteps / measure::kFullScaleVolts);
    return static_cast<int>(std::clamp(steps, 0.0, double(measure::kConverterSteps - 1)));
}

double sensorVolts(double celsius) noexcept {
    return measure::kVoltsAtZeroCelsius + celsius / measure::kDegreesPerVolt;
}

} // namespace simulation
