#include "dpi.h"

namespace win32ui {
namespace {

// Looked up at run time so that the program still starts on systems that
// predate them.
template <class Function>
Function user32Function(const char* name) {
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name)))
                  : nullptr;
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using AdjustForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using ParametersForDpiFunction = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);

} // namespace

UINT dpiOf(HWND window) {
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow) {
        if (const UINT dpi = getDpiForWindow(window))
            return dpi;
    }
    const HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? UINT(dpi) : USER_DEFAULT_SCREEN_DPI;
}

SIZE windowSizeFor(int width, int height, DWORD style, DWORD exStyle, UINT dpi) {
    static const auto adjustForDpi = user32Function<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
    RECT rect{0, 0, width, height};
    if (!adjustForDpi || !adjustForDpi(&rect, style, FALSE, exStyle, dpi))
        ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

LONG fontHeight(int points, UINT dpi) {
    return -::MulDiv(points, int(dpi), 72);
}

LOGFONTW messageFontAt(UINT dpi) {
    static const auto parametersForDpi = user32Function<ParametersForDpiFunction>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (parametersForDpi && parametersForDpi(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0, dpi))
        return metrics.lfMessageFont;
    // Older systems give it at the system's one DPI.
    LOGFONTW font{};
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
        font = metrics.lfMessageFont;
    } else {
        font.lfHeight = fontHeight(9, USER_DEFAULT_SCREEN_DPI);
        font.lfWeight = FW_NORMAL;
        lstrcpynW(font.lfFaceName, L"Segoe UI", LF_FACESIZE);
    }
    const HDC screen = ::GetDC(nullptr);
    const int systemDpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    font.lfHeight = ::MulDiv(font.lfHeight, int(dpi), systemDpi > 0 ? systemDpi : USER_DEFAULT_SCREEN_DPI);
    return font;
}

} // namespace win32ui
