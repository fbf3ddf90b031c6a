#include "periodic_timer.h"

#include "error.h"

#include <QSocketNotifier>
#include <cerrno>
#include <cstdint>
#include <sys/timerfd.h>
#include <unistd.h>

namespace qtui {
namespace {

[[noreturn]] void fail(int error, const char* call) {
    throw text::Error::system(error, call);
}

} // namespace

PeriodicTimer::PeriodicTimer(std::chrono::milliseconds interval, std::function<void()> onTick)
    : interval_(interval), onTick_(std::move(onTick)),
      fd_(::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)) {
    if (fd_ < 0)
        fail(errno, "timerfd_create");
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    notifier_->setEnabled(false);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
        std::uint64_t expirations = 0;
        // Reading re-arms the notifier; the count of missed ticks is
        // dropped on purpose, as they are merged into this one. A read that
        // finds nothing (EAGAIN: the timer was disarmed meanwhile) is no
        // tick.
        if (::read(fd_, &expirations, sizeof expirations) == sizeof expirations && active_)
            onTick_();
    });
}

PeriodicTimer::~PeriodicTimer() {
    notifier_.reset();
    ::close(fd_);
}

void PeriodicTimer::arm(bool on) {
    // An absolute schedule set once: the kernel keeps the period.
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

} // namespace qtui
