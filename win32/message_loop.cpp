#include "message_loop.h"

#include "modal_loop_watch.h"

namespace win32ui {

int runMessageLoop(HWND dialog, TimerSet& timers) {
    ModalLoopWatch watch(timers);
    for (;;) {
        watch.cameRound();
        const std::vector<HANDLE>& handles = timers.handles();
        const DWORD count = DWORD(handles.size());
        // MWMO_INPUTAVAILABLE: messages already in the queue count too, not
        // only those that arrived since the last look.
        const DWORD woken = ::MsgWaitForMultipleObjectsEx(count, handles.data(), INFINITE,
                                                          QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woken < WAIT_OBJECT_0 + count)
            timers.deliver(woken - WAIT_OBJECT_0);
        else if (woken == WAIT_FAILED)
            ::WaitMessage();  // no timer to wait on: messages at least go on

        // The queue is emptied after every wake, so a timer that is always
        // due cannot starve the window.
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return int(message.wParam);
            if (::IsWindow(dialog) && ::IsDialogMessageW(dialog, &message))
                continue;
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

} // namespace win32ui
