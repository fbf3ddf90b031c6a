#pragma once
// What Form1 needs from its surroundings besides the port and the window:
// the program's directory and name, the clock's time of day as the user
// writes it, the user's decimal separator, a monotonic clock, timers, a
// say in whether the computer may sleep, and standard output. Each front end has its own; the
// tests substitute theirs. Texts are UTF-8.

#include "number_format.h"
#include "timer.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace app {

class Runtime {
public:
    virtual ~Runtime() = default;

    // The folder holding the program file, without a trailing separator.
    virtual std::string programDirectory() const = 0;
    // The program file's name without folder or extension: "thermometer".
    virtual std::string programName() const = 0;
    // The current time of day in the user's long time format: "14:03:07".
    virtual std::string timeOfDayText() const = 0;
    // Read once per run: a reading shown and the same reading saved must
    // not differ in their separator.
    virtual measure::NumberFormat numberFormat() const = 0;
    // The monotonic clock the read cycle times its edges and waits on.
    virtual std::chrono::steady_clock::time_point monotonicNow() const {
        return std::chrono::steady_clock::now();
    }
    // true keeps the computer from suspending on its own (the user still
    // can), false lets it again. Best effort: where the system offers no
    // way, nothing happens.
    virtual void keepSystemAwake(bool awake) noexcept = 0;
    // One line on standard output, at once, after the program's name:
    // "thermometer: port 1 answers within 4 ms". Best effort.
    virtual void announce(const std::string& line) noexcept = 0;
    // A stopped timer that will call onTick from the event loop; throws
    // text::Error when the OS has none to give.
    virtual std::unique_ptr<Timer> makeTimer(std::chrono::milliseconds interval,
                                             std::function<void()> onTick) = 0;
};

} // namespace app
