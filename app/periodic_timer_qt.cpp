#include "periodic_timer.h"

#include <QTimer>

class PeriodicTimer::Engine {
public:
    Engine(std::chrono::milliseconds interval, const std::function<void()>& onTick) {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(interval);
        QObject::connect(&timer_, &QTimer::timeout, [&onTick] { onTick(); });
    }
    void arm(bool on) { on ? timer_.start() : timer_.stop(); }
    bool active() const { return timer_.isActive(); }

private:
    QTimer timer_;
};

PeriodicTimer::PeriodicTimer(std::chrono::milliseconds interval, std::function<void()> onTick)
    : interval_(interval), onTick_(std::move(onTick)),
      engine_(std::make_unique<Engine>(interval_, onTick_)) {}

PeriodicTimer::~PeriodicTimer() = default;

void PeriodicTimer::start() { engine_->arm(true); }
void PeriodicTimer::stop() { engine_->arm(false); }
bool PeriodicTimer::isActive() const { return engine_->active(); }
