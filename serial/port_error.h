#pragma once
// A failed port operation: the number and description come from their source
// (errno, the serial library, the settings parser), the device names the port.

#include <stdexcept>
#include <string>

namespace serial {

// Numbers for the errors the port code finds itself, where no errno or
// serial library error stands behind them; both ports use the same ones.
inline constexpr int kInvalidSettingsError = 380;
inline constexpr int kPortAlreadyOpenError = 8005;
inline constexpr int kPortNotOpenError = 8012;

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
