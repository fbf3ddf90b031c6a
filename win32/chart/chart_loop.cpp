#include "chart_loop.h"

namespace win32chart {

int runChartLoop(HWND window, HACCEL accelerators, FolderWatch& watch, const std::function<void()>& onFolderChanged) {
    for (;;) {
        const HANDLE folder = watch.handle();
        const DWORD handles = folder == INVALID_HANDLE_VALUE ? 0 : 1;
        const DWORD woken = ::MsgWaitForMultipleObjectsEx(handles, &folder, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (handles && woken == WAIT_OBJECT_0) {
            watch.rearm();
            onFolderChanged();
        } else if (woken == WAIT_FAILED) {
            ::WaitMessage();  // the folder's handle failed: messages at least go on
        }
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return int(message.wParam);
            if (accelerators && ::TranslateAcceleratorW(window, accelerators, &message))
                continue;
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

} // namespace win32chart
