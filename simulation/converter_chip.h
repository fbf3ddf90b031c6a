#pragma once
// A model of the 10-bit serial A/D converter and the sensor on its input,
// driven pin by pin.
//
// Chip select is active low. Its falling edge samples the input and puts the
// most significant bit on the data pin; each falling clock edge while
// selected shifts out the next bit; after the tenth bit the data pin is low.
// Rising clock edges and edges while deselected change nothing. What the
// data pin shows while the chip is not selected depends on the chip and its
// wiring (DeselectedPin).

#include <functional>

namespace simulation {

enum class DeselectedPin {
    Low,           // driven low
    KeepsLastBit,  // holds whatever it showed when the chip was deselected
    Floats,        // left open: some level of its own, chosen anew each time
};

class ConverterChip {
public:
    // input: the voltage on the analogue input, read once per conversion.
    explicit ConverterChip(std::function<double()> input, DeselectedPin pin = DeselectedPin::Low);

    void setSelect(bool high);
    void setClock(bool high);
    bool data() const noexcept;

    // The code a conversion of this voltage yields (truncating, clamped).
    static int codeFor(double volts) noexcept;

private:
    std::function<double()> input_;
    DeselectedPin pin_;
    bool selectHigh_ = true;
    bool clockHigh_ = false;
    int code_ = 0;
    int bitsShifted_ = 0;
    bool deselectedLevel_ = false;
    unsigned floatState_ = 0x9e3779b9u;
};

// The temperature sensor: 2.73 V at 0 degC, rising 10 mV per degree.
double sensorVolts(double celsius) noexcept;

} // namespace simulation
