#pragma once
// The Qt front end's timer: it keeps its period, and ticks come from Qt's
// event loop.
//
// On Linux a timerfd watched by the event loop (about 990 ticks a second at
// 1 ms, where a QTimer that re-arms after its handler reaches about 880);
// elsewhere a precise QTimer. The per-OS part is periodic_timer_<os>.cpp.

#include "timer.h"

#include <chrono>
#include <functional>
#include <memory>

namespace qtui {

class PeriodicTimer final : public app::Timer {
public:
    // Throws app::ServiceError when the OS has no timer to give.
    PeriodicTimer(std::chrono::milliseconds interval, std::function<void()> onTick);
    ~PeriodicTimer() override;

    void start() override;
    void stop() override;
    bool isActive() const override;
    std::chrono::milliseconds interval() const override { return interval_; }

    // The per-OS part: arms and disarms the OS's timer, calls onTick.
    class Engine {
    public:
        virtual ~Engine() = default;
        virtual void arm(bool on) = 0;
        virtual bool active() const = 0;
    };

private:
    static std::unique_ptr<Engine> makeEngine(std::chrono::milliseconds interval,
                                              const std::function<void()>& onTick);

    std::chrono::milliseconds interval_;
    std::function<void()> onTick_;
    std::unique_ptr<Engine> engine_;
};

} // namespace qtui
