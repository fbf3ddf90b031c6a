#include "periodic_timer.h"

#include <QTimer>

namespace qtui {
namespace {

class QTimerEngine final : public PeriodicTimer::Engine {
public:
    QTimerEngine(std::chrono::milliseconds interval, const std::function<void()>& onTick) {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(interval);
        QObject::connect(&timer_, &QTimer::timeout, [&onTick] { onTick(); });
    }
    void arm(bool on) override { on ? timer_.start() : timer_.stop(); }
    bool active() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};

} // namespace

std::unique_ptr<PeriodicTimer::Engine> PeriodicTimer::makeEngine(
    std::chrono::milliseconds interval, const std::function<void()>& onTick) {
    return std::make_unique<QTimerEngine>(interval, onTick);
}

} // namespace qtui
