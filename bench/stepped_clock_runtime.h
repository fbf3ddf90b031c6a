#pragma once
// A front end's own runtime, but with a monotonic clock the bench moves and
// a folder of the bench's choosing: a day of readings runs in seconds.

#include "runtime.h"

class SteppedClockRuntime final : public app::Runtime {
public:
    std::chrono::steady_clock::time_point now{};
    std::string directory;

    explicit SteppedClockRuntime(app::Runtime& real) : real_(real) {}

    std::string programDirectory() const override { return directory; }
    std::string programName() const override { return real_.programName(); }
    std::string timeOfDayText() const override { return real_.timeOfDayText(); }
    measure::NumberFormat numberFormat() const override { return real_.numberFormat(); }
    std::chrono::steady_clock::time_point monotonicNow() const override { return now; }
    void keepSystemAwake(bool) noexcept override {}
    void announce(const std::string&) noexcept override {}
    std::unique_ptr<app::Timer> makeTimer(std::chrono::milliseconds interval,
                                          std::function<void()> onTick) override {
        return real_.makeTimer(interval, std::move(onTick));
    }

private:
    app::Runtime& real_;
};
