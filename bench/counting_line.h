#pragma once
// A SerialLine that only counts, with the converter on its modem lines and
// DCD shown at once, as on a built-in port: the cheapest possible port, so
// that a benchmark measures the program rather than the port. The code
// presented changes now and then, as a room's temperature does.

#include "converter_chip.h"
#include "scale.h"
#include "serial_line.h"

#include <cstdint>
#include <string_view>

class CountingLine final : public serial::SerialLine {
public:
    std::uint64_t lineCalls = 0;   // DTR, RTS and DCD operations
    std::uint64_t bytesOut = 0;

    void Settings(std::string_view) override {}
    void CommPort(int) override {}
    void PortOpen(bool open) override {
        chip_.setSelect(open);
        chip_.setClock(open);
    }
    void DTREnable(bool asserted) override {
        ++lineCalls;
        chip_.setSelect(asserted);
    }
    void RTSEnable(bool asserted) override {
        ++lineCalls;
        chip_.setClock(asserted);
    }
    bool CDHolding() override {
        ++lineCalls;
        return chip_.data();
    }
    void Output(std::string_view text) override { bytesOut += text.size(); }

private:
    int conversions_ = 0;
    simulation::ConverterChip chip_{[this] {
        // 590 to 597 and back, one step every 64 readings.
        const int code = 590 + (++conversions_ / 64) % 8;
        return (code + 0.5) * measure::kFullScaleVolts / measure::kConverterSteps;
    }};
};
