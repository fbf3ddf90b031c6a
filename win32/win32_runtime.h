#pragma once
// The runtime services on Windows: the program's folder, the user's long
// time format and decimal separator from the user's locale settings,
// waitable timers for the message loop to wait on, and the system kept from
// sleeping on its own while a recording runs.

#include "runtime.h"
#include "waitable_timers.h"

#include <string>

namespace win32ui {

class Win32Runtime final : public app::Runtime {
public:
    explicit Win32Runtime(TimerSet& timers);

    std::string programDirectory() const override;
    std::string programName() const override;
    std::string timeOfDayText() const override;
    void keepSystemAwake(bool awake) noexcept override;
    void announce(const std::string& line) noexcept override;
    measure::NumberFormat numberFormat() const override { return numberFormat_; }
    std::unique_ptr<app::Timer> makeTimer(std::chrono::milliseconds interval,
                                          std::function<void()> onTick) override;

private:
    TimerSet& timers_;
    measure::NumberFormat numberFormat_;
    std::wstring programPath_;  // read once: the program file does not move while it runs
};

} // namespace win32ui
