#include "converter_chip.h"

#include "scale.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace serial {

ConverterChip::ConverterChip(std::function<double()> input) : input_(std::move(input)) {}

void ConverterChip::setSelect(bool high) {
    if (selectHigh_ && !high) {
        code_ = codeFor(input_());
        bitsShifted_ = 0;
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
    if (selectHigh_ || bitsShifted_ >= 10)
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

} // namespace serial
