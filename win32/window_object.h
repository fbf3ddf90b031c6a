#pragma once
// The C++ object behind a window: the pointer handed to CreateWindowExW,
// kept with the window from its first message, WM_NCCREATE, on, so that a
// window procedure finds the object its messages are for.

#include <windows.h>

namespace win32ui {

// Null until WM_NCCREATE has come, and again once the object has let go
// (SetWindowLongPtrW(window, GWLP_USERDATA, 0) at WM_NCDESTROY).
template <class Object>
Object* windowObject(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    return reinterpret_cast<Object*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

} // namespace win32ui
