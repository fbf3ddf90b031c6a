#pragma once
// The settings text of a port ("1200,N,8,1") as values. Parsing is strict:
// anything but a known baud rate, one of N/E/O/M/S, 5 to 8 data bits and 1,
// 1.5 or 2 stop bits is rejected, so a typo can never open a port wrongly.

#include <optional>
#include <string_view>

namespace serial {

enum class Parity { None, Even, Odd, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };

struct PortSettings {
    int baud = 0;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;

    friend bool operator==(const PortSettings&, const PortSettings&) = default;
};

std::optional<PortSettings> parsePortSettings(std::string_view text);

} // namespace serial
