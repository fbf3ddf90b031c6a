#pragma once
// A SerialLine that only counts: the cheapest possible port, so a benchmark
// of the read cycle measures the cycle itself. DCD answers walk through a
// fixed 10-bit pattern so the bits are not constant.

#include "serial_line.h"

#include <cstdint>
#include <string_view>

class CountingLine final : public serial::SerialLine {
public:
    std::uint64_t lineCalls = 0;   // DTR, RTS and DCD operations
    std::uint64_t bytesOut = 0;

    void Settings(std::string_view) override {}
    void CommPort(int) override {}
    void PortOpen(bool) override {}
    void DTREnable(bool) override { ++lineCalls; }
    void RTSEnable(bool) override { ++lineCalls; }
    bool CDHolding() override {
        ++lineCalls;
        pattern_ = (pattern_ << 1) | (pattern_ >> 9 & 1);
        return pattern_ & 0x200;
    }
    void Output(std::string_view text) override { bytesOut += text.size(); }

private:
    std::uint32_t pattern_ = 0x2B5;
};
