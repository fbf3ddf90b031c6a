#include "port_error.h"

namespace serial {

PortError::PortError(int number, std::string description, std::string device)
    : std::runtime_error(description),
      number_(number),
      description_(std::move(description)),
      device_(std::move(device)) {}

std::string reportLine(const PortError& error) {
    std::string line = "Error " + std::to_string(error.number()) + ": " + error.description();
    if (!error.device().empty())
        line += " (" + error.device() + ")";
    return line;
}

} // namespace serial
