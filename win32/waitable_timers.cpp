#include "waitable_timers.h"

#include "encoding_windows.h"
#include "error.h"

#include <algorithm>

#include <timeapi.h>

namespace win32ui {
namespace {

// Windows 10 1803 and later; MinGW's headers do not have it yet.
constexpr DWORD kHighResolution = 0x00000002;  // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION

[[noreturn]] void fail(const char* call) {
    const DWORD code = ::GetLastError();
    throw text::Error::system(int(code), call);
}

HANDLE createTimer(bool& highResolution) {
    HANDLE timer = ::CreateWaitableTimerExW(nullptr, nullptr, kHighResolution, TIMER_ALL_ACCESS);
    highResolution = timer != nullptr;
    if (!timer && ::GetLastError() == ERROR_INVALID_PARAMETER)  // an older Windows
        timer = ::CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
    if (!timer)
        fail("CreateWaitableTimerExW");
    return timer;
}

} // namespace

void TimerSet::add(WaitableTimer* timer) {
    const auto place = std::find_if(timers_.begin(), timers_.end(), [timer](WaitableTimer* other) {
        return other->interval_ < timer->interval_;
    });
    const auto index = place - timers_.begin();
    timers_.insert(place, timer);
    handles_.insert(handles_.begin() + index, timer->handle_);
}

void TimerSet::remove(WaitableTimer* timer) {
    const auto place = std::find(timers_.begin(), timers_.end(), timer);
    if (place == timers_.end())
        return;
    handles_.erase(handles_.begin() + (place - timers_.begin()));
    timers_.erase(place);
}

void TimerSet::deliver(std::size_t index) {
    if (index < timers_.size())
        timers_[index]->tick();
}

void TimerSet::deliverDue() {
    // By handle: a tick may stop timers, or a fatal error end them all.
    const std::vector<HANDLE> handles = handles_;
    for (const HANDLE handle : handles) {
        if (::WaitForSingleObject(handle, 0) != WAIT_OBJECT_0)
            continue;
        const auto place = std::find(handles_.begin(), handles_.end(), handle);
        if (place != handles_.end())
            timers_[std::size_t(place - handles_.begin())]->tick();
    }
}

WaitableTimer::WaitableTimer(TimerSet& set, std::chrono::milliseconds interval,
                             std::function<void()> onTick)
    : set_(set), interval_(interval), onTick_(std::move(onTick)),
      handle_(createTimer(highResolution_)) {
    set_.add(this);
}

WaitableTimer::~WaitableTimer() {
    set_.remove(this);
    ::CancelWaitableTimer(handle_);
    if (finerClock_)
        ::timeEndPeriod(1);
    ::CloseHandle(handle_);
}

void WaitableTimer::start() {
    // Arming resets the timer, so a tick left from before a stop is gone.
    LARGE_INTEGER due{};
    due.QuadPart = -std::chrono::duration_cast<std::chrono::nanoseconds>(interval_).count() / 100;
    if (!::SetWaitableTimer(handle_, &due, LONG(interval_.count()), nullptr, nullptr, FALSE))
        fail("SetWaitableTimer");
    // Without a high-resolution timer, a period below the system clock's
    // tick (15.6 ms) needs the finer clock.
    if (!highResolution_ && !finerClock_ && interval_.count() < 16)
        finerClock_ = ::timeBeginPeriod(1) == TIMERR_NOERROR;
    active_ = true;
}

void WaitableTimer::stop() {
    active_ = false;
    if (finerClock_) {
        ::timeEndPeriod(1);
        finerClock_ = false;
    }
    if (!::CancelWaitableTimer(handle_))
        fail("CancelWaitableTimer");
}

void WaitableTimer::tick() {
    if (active_)
        onTick_();
}

} // namespace win32ui
