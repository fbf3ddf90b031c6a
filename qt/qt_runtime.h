#pragma once
// The runtime services on Linux under Qt: the program's folder, the C
// library's time format of the user's locale, the user's decimal separator
// from Qt's locale, timers on Qt's event loop, and the desktop's locks
// against idle suspend (system_awake.h).

#include "runtime.h"
#include "system_awake.h"

#include <QLocale>

namespace qtui {

// The separator the locale writes numbers with; the minus sign stays ASCII.
measure::NumberFormat numberFormatOf(const QLocale& locale);

class QtRuntime final : public app::Runtime {
public:
    explicit QtRuntime(std::unique_ptr<AwakeHold> awake = makeDesktopAwakeHold());

    std::string programDirectory() const override;
    std::string programName() const override;
    std::string timeOfDayText() const override;
    void keepSystemAwake(bool awake) noexcept override;
    void announce(const std::string& line) noexcept override;
    measure::NumberFormat numberFormat() const override { return numberFormat_; }
    std::unique_ptr<app::Timer> makeTimer(std::chrono::milliseconds interval,
                                          std::function<void()> onTick) override;

private:
    measure::NumberFormat numberFormat_;
    std::unique_ptr<AwakeHold> awake_;
};

} // namespace qtui
