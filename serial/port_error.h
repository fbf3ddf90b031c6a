#pragma once
// A failed port operation: the number and description come from their source
// (errno or GetLastError() where the OS gave one, else the program's own
// table below), the device names the port.

#include <stdexcept>
#include <string>

namespace serial {

// The program's own error numbers, for failures no OS call stands behind.
// They are negative so that they can never be mistaken for an OS code,
// which is always positive (errno, GetLastError()).
inline constexpr int kInvalidSettingsError = -1;  // malformed settings text
inline constexpr int kInvalidPortError = -2;      // no device for that port number
inline constexpr int kPortNotOpenError = -3;      // line operation before the open
inline constexpr int kPortAlreadyOpenError = -4;  // another port chosen while open
inline constexpr int kPortBusyError = -5;         // another program holds the port
inline constexpr int kPortOpenError = -6;         // the open failed without an OS code

// Begins the description of a line call failing on a port that opened
// fine, before the system's own text: the device has gone or stopped
// answering, which is what an unplugged adapter or a sleep looks like.
inline constexpr const char* kPortStoppedText =
    "The port stopped working (adapter unplugged, or the computer slept)";

class PortError : public std::runtime_error {
public:
    PortError(int number, std::string description, std::string device);

    int number() const noexcept { return number_; }
    const std::string& description() const noexcept { return description_; }
    const std::string& device() const noexcept { return device_; }

private:
    int number_;
    std::string description_;
    std::string device_;
};

// "Error 5: Input/output error (/dev/ttyS0)": one line for the user and the log.
std::string reportLine(const PortError& error);

} // namespace serial
