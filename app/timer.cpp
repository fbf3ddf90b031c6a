#include "timer.h"

namespace app {

TimerError::TimerError(int number, std::string description, std::string call)
    : std::runtime_error(description),
      number_(number),
      description_(std::move(description)),
      call_(std::move(call)) {}

std::string reportLine(const TimerError& error) {
    return "Error " + std::to_string(error.number()) + ": " + error.description() + " (" +
           error.call() + ")";
}

} // namespace app
