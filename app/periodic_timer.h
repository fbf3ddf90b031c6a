#pragma once
// A repeating timer that keeps its period: each tick is due a whole number
// of intervals after the start, however long the previous handler took, so
// neither the 1 s sampling nor the 1 ms keep-alive drifts. Ticks that fall
// due while a handler runs are merged into one, delivered after it returns.
//
// On Linux a timerfd watched by the event loop (about 990 ticks a second at
// 1 ms, where a QTimer that re-arms after its handler reaches about 880);
// elsewhere a precise QTimer. The per-OS part is periodic_timer_<os>.cpp.

#include <chrono>
#include <functional>
#include <memory>

class PeriodicTimer {
public:
    PeriodicTimer(std::chrono::milliseconds interval, std::function<void()> onTick);
    ~PeriodicTimer();
    PeriodicTimer(const PeriodicTimer&) = delete;
    PeriodicTimer& operator=(const PeriodicTimer&) = delete;

    void start();
    void stop();
    bool isActive() const;
    std::chrono::milliseconds interval() const { return interval_; }

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
