#pragma once
// The timers kept going while a modal loop runs instead of the program's
// message loop: a message box, a menu, the window being moved, a scroll
// bar or a title-bar button held down. Such a loop never waits on the
// waitable timers, and some (a held title-bar button) take only mouse
// messages, so neither the timers nor a USER timer reach the program
// there. Every loop does handle messages sent from another thread, so a
// helper thread that sees the message loop stop coming round sends one to
// a hidden window, whose procedure delivers the timers that are due. The
// timers thus never stop; they go coarser only while the modal loop runs.

#include "waitable_timers.h"

#include <atomic>
#include <thread>

#include <windows.h>

namespace win32ui {

class ModalLoopWatch {
public:
    // Starts watching; throws text::Error when Windows has no window
    // or thread to give.
    explicit ModalLoopWatch(TimerSet& timers);
    ~ModalLoopWatch();
    ModalLoopWatch(const ModalLoopWatch&) = delete;
    ModalLoopWatch& operator=(const ModalLoopWatch&) = delete;

    // The message loop calls this each time it comes round.
    void cameRound() noexcept { rounds_.fetch_add(1, std::memory_order_relaxed); }

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void watch();

    TimerSet& timers_;
    HWND window_ = nullptr;
    HANDLE stop_ = nullptr;
    std::atomic<unsigned> rounds_{0};
    std::atomic<bool> sent_{false};  // a nudge is on its way, not yet handled
    std::thread thread_;
};

} // namespace win32ui
