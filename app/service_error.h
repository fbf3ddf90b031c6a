#pragma once
// A service the window relies on failed: a timer the OS will not give or
// arm, a list that takes no more entries. Like a port error it ends the
// program. The number and description come from their source (errno,
// GetLastError()); `source` names what failed ("timerfd_create", "List1").

#include <stdexcept>
#include <string>

namespace app {

class ServiceError : public std::runtime_error {
public:
    ServiceError(int number, std::string description, std::string source);

    int number() const noexcept { return number_; }
    const std::string& description() const noexcept { return description_; }
    const std::string& source() const noexcept { return source_; }

private:
    int number_;
    std::string description_;
    std::string source_;
};

// "Error 24: Too many open files (timerfd_create)"
std::string reportLine(const ServiceError& error);

} // namespace app
