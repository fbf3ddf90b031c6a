#include "periodic_timer.h"

#include <QSocketNotifier>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <sys/timerfd.h>
#include <unistd.h>

namespace {

class TimerFdEngine final : public PeriodicTimer::Engine {
public:
    TimerFdEngine(std::chrono::milliseconds interval, const std::function<void()>& onTick)
        : interval_(interval),
          fd_(::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)) {
        if (fd_ < 0)
            throw std::runtime_error(std::string("timerfd_create: ") + std::strerror(errno));
        notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
        notifier_->setEnabled(false);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this, &onTick] {
            std::uint64_t expirations = 0;
            // Reading re-arms the notifier; the count of missed ticks is
            // dropped on purpose, as they are merged into this one.
            if (::read(fd_, &expirations, sizeof expirations) == sizeof expirations && active_)
                onTick();
        });
    }

    ~TimerFdEngine() override {
        notifier_.reset();
        ::close(fd_);
    }

    void arm(bool on) override {
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(interval_).count();
        itimerspec schedule{};
        if (on) {
            schedule.it_interval.tv_sec = ns / 1'000'000'000;
            schedule.it_interval.tv_nsec = ns % 1'000'000'000;
            schedule.it_value = schedule.it_interval;
        }
        ::timerfd_settime(fd_, 0, &schedule, nullptr);
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
