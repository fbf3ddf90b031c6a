#include "periodic_timer.h"

namespace qtui {

PeriodicTimer::PeriodicTimer(std::chrono::milliseconds interval, std::function<void()> onTick)
    : interval_(interval), onTick_(std::move(onTick)), engine_(makeEngine(interval_, onTick_)) {}

PeriodicTimer::~PeriodicTimer() = default;

void PeriodicTimer::start() { engine_->arm(true); }
void PeriodicTimer::stop() { engine_->arm(false); }
bool PeriodicTimer::isActive() const { return engine_->active(); }

} // namespace qtui
