#pragma once
// A repeating timer as Form1 uses it. The front end makes them (Runtime::
// makeTimer) from its own event loop's means; whatever they are, a timer
// keeps its period, each tick due a whole number of intervals after the
// start however long the previous handler took, and delivers its ticks from
// the event loop, one at a time, never while another handler runs. Ticks
// that fall due meanwhile are merged into one.

#include <chrono>
#include <stdexcept>
#include <string>

namespace app {

class Timer {
public:
    virtual ~Timer() = default;

    // Both throw TimerError when the OS refuses.
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    virtual std::chrono::milliseconds interval() const = 0;
};

// The OS would not give or arm a timer: number and description from the OS
// (errno, GetLastError()), and what was asked of it.
class TimerError : public std::runtime_error {
public:
    TimerError(int number, std::string description, std::string call);

    int number() const noexcept { return number_; }
    const std::string& description() const noexcept { return description_; }
    const std::string& call() const noexcept { return call_; }

private:
    int number_;
    std::string description_;
    std::string call_;
};

// "Error 24: Too many open files (timerfd_create)"
std::string reportLine(const TimerError& error);

} // namespace app
