#pragma once
// The Qt front end's timer: a timerfd watched by Qt's event loop. The
// kernel keeps the period, so neither a handler's length nor the event
// loop's delay drifts it: about 998 ticks a second at 1 ms, where a QTimer
// that re-arms after its handler reaches about 880.

#include "timer.h"

#include <chrono>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace qtui {

class PeriodicTimer final : public app::Timer {
public:
    // Throws text::Error when the OS has no timer to give.
    PeriodicTimer(std::chrono::milliseconds interval, std::function<void()> onTick);
    ~PeriodicTimer() override;
    PeriodicTimer(const PeriodicTimer&) = delete;
    PeriodicTimer& operator=(const PeriodicTimer&) = delete;

    void start() override { arm(true); }
    void stop() override { arm(false); }

private:
    void arm(bool on);

    std::chrono::milliseconds interval_;
    std::function<void()> onTick_;
    int fd_;
    bool active_ = false;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace qtui
