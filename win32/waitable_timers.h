#pragma once
// Form1's timers as Windows waitable timers, and the set of them that the
// message loop waits on (message_loop.h).
//
// Waitable timers, not SetTimer: a 1 ms SetTimer ticks about 64 times a
// second on Windows (100 under Wine), a high-resolution waitable timer close
// to a thousand. A timer is periodic in the kernel, so its schedule keeps
// its period whatever the handlers take; it is a synchronization timer, so
// periods that pass while the program is busy merge into one tick.

#include "timer.h"

#include <chrono>
#include <functional>
#include <vector>

#include <windows.h>

namespace win32ui {

class WaitableTimer;

class TimerSet {
public:
    TimerSet() = default;
    TimerSet(const TimerSet&) = delete;
    TimerSet& operator=(const TimerSet&) = delete;

    // What the message loop waits on, longest interval first: the wait
    // reports the first signalled handle, and a short timer that is due
    // again every time must not keep a long one from its tick.
    const std::vector<HANDLE>& handles() const noexcept { return handles_; }

    // The timer of handles()[index] was signalled (the wait has reset it):
    // its tick, unless it was stopped meanwhile.
    void deliver(std::size_t index);

    // Every timer that is due, found without waiting: for the modal loops
    // (a message box, moving the window) that keep the message loop from
    // waiting on them.
    void deliverDue();

private:
    friend class WaitableTimer;
    void add(WaitableTimer* timer);
    void remove(WaitableTimer* timer);

    std::vector<WaitableTimer*> timers_;
    std::vector<HANDLE> handles_;
};

class WaitableTimer final : public app::Timer {
public:
    // Throws text::Error when Windows has no timer to give.
    WaitableTimer(TimerSet& set, std::chrono::milliseconds interval, std::function<void()> onTick);
    ~WaitableTimer() override;

    void start() override;
    void stop() override;

private:
    friend class TimerSet;
    void tick();

    TimerSet& set_;
    std::chrono::milliseconds interval_;
    std::function<void()> onTick_;
    HANDLE handle_;
    bool highResolution_ = false;
    bool finerClock_ = false;  // this timer holds timeBeginPeriod(1)
    bool active_ = false;
};

} // namespace win32ui
