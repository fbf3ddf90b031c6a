#include "periodic_timer.h"

#include <QSocketNotifier>
#include <cerrno>
#include <cstdint>
#include <system_error>
#include <sys/timerfd.h>
#include <unistd.h>

namespace qtui {
namespace {

[[noreturn]] void fail(int error, const char* call) {
    throw app::ServiceError(error, std::generic_category().message(error), call);
}

class TimerFdEngine final : public PeriodicTimer::Engine {
public:
    TimerFdEngine(std::chrono::milliseconds interval, const std::function<void()>& onTick)
        : interval_(interval),
          fd_(::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)) {
        if (fd_ < 0)
            fail(errno, "timerfd_create");
        notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
        notifier_->setEnabled(false);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this, &onTick] {
            std::uint64_t expirations = 0;
            // Reading re-arms the notifier; the count of missed ticks is
            // dropped on purpose, as they are merged into this one. A read
            // that finds nothing (EAGAIN: the timer was disarmed meanwhile)
            // is no tick.
            if (::read(fd_, &expirations, sizeof expirations) == sizeof expirations && active_)
                onTick();
        });
    }

    ~TimerFdEngine() override {
        notifier_.reset();
        ::close(fd_);
    }

    void arm(bool on) override {
        // An absolute schedule set once: the kernel keeps the period, so
        // neither the handler's length nor the event loop's delay drifts it.
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(interval_).count();
        itimerspec schedule{};
        if (on) {
            schedule.it_interval.tv_sec = ns / 1'000'000'000;
            schedule.it_interval.tv_nsec = ns % 1'000'000'000;
            schedule.it_value = schedule.it_interval;
        }
        if (::timerfd_settime(fd_, 0, &schedule, nullptr) == -1)
            fail(errno, "timerfd_settime");
        active_ = on;
        notifier_->setEnabled(on);
    }

    bool active() const override { return active_; }

private:
    std::chrono::milliseconds interval_;
    int fd_;
    bool active_ = false;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace

std::unique_ptr<PeriodicTimer::Engine> PeriodicTimer::makeEngine(
    std::chrono::milliseconds interval, const std::function<void()>& onTick) {
    return std::make_unique<TimerFdEngine>(interval, onTick);
}

} // namespace qtui
