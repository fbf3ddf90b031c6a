#include "service_error.h"

namespace app {

ServiceError::ServiceError(int number, std::string description, std::string source)
    : std::runtime_error(description),
      number_(number),
      description_(std::move(description)),
      source_(std::move(source)) {}

std::string reportLine(const ServiceError& error) {
    return "Error " + std::to_string(error.number()) + ": " + error.description() + " (" +
           error.source() + ")";
}

} // namespace app
