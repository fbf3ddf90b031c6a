#pragma once
// The program's one event loop: it waits on the timers and the message
// queue at once, so a 1 ms timer ticks close to a thousand times a second.
// Handlers run one at a time from here, never from inside each other.
// While a modal loop runs instead, the timers are served from there
// (modal_loop_watch.h).

#include "waitable_timers.h"

#include <windows.h>

namespace win32ui {

// Runs until WM_QUIT and returns its exit code. The keys of a dialog (Tab,
// Shift+Tab) move the focus among `dialog`'s controls.
int runMessageLoop(HWND dialog, TimerSet& timers);

} // namespace win32ui
