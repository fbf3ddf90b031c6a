#include "chart_window.h"

#include "chart_colours.h"
#include "chart_loop.h"
#include "chart_menu.h"
#include "display_list_gdi.h"
#include "dpi.h"
#include "encoding_windows.h"
#include "error.h"
#include "program_path.h"
#include "resource_ids.h"
#include "window_object.h"
#include "windows_file_name.h"

#include <shellapi.h>
#include <windowsx.h>

namespace win32chart {
namespace {

constexpr const wchar_t* kClassName = L"ThermometerChart";
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTimerPeriodMs = 1000;
// At 96 dots per inch; larger in proportion on a monitor of more.
constexpr int kWidth = 960, kHeight = 640, kMinimumWidth = 320, kMinimumHeight = 240;
// A folder that reports changes faster than this waits for the next look,
// at most a second: a busy folder does not keep the chart busy.
constexpr ULONGLONG kQuickestLookMs = 250;

void registerWindowClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDI_THERMOMETER));
    windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.lpszClassName = kClassName;  // no background brush: every pixel is painted
    if (!::RegisterClassExW(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw text::Error::system(int(::GetLastError()), "RegisterClassExW");
}

int scaled(int length, UINT dpi) {
    return ::MulDiv(length, int(dpi), USER_DEFAULT_SCREEN_DPI);
}

// A relative path as the user meant it: from the folder the program was
// started in.
std::string fullPathOf(const std::string& path) {
    const std::wstring wide = text::toWide(path);
    const DWORD needed = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return path;
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed)
        return path;
    full.resize(length);
    return text::toUtf8(full);
}

} // namespace

ChartWindow::ChartWindow()
    : chart_(host_), programFolder_(logfile::windowsFolderOf(text::toUtf8(win32ui::programPath()))) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    registerWindowClass(instance, &ChartWindow::windowProc);
    menu_ = makeChartMenu();
    accelerators_ = makeChartAccelerators();
    window_ = ::CreateWindowExW(0, kClassName, text::toWide(chart_.title()).c_str(), WS_OVERLAPPEDWINDOW,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, menu_,
                                instance, this);
    if (!window_) {
        ::DestroyMenu(menu_);
        throw text::Error::system(int(::GetLastError()), "CreateWindowExW");
    }
    // Made on the monitor it will show on: this is the DPI to start at.
    dpi_ = win32ui::dpiOf(window_);
    host_.setDpi(dpi_);
    ::SetWindowPos(window_, nullptr, 0, 0, scaled(kWidth, dpi_), scaled(kHeight, dpi_),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::DragAcceptFiles(window_, TRUE);
    ::SetTimer(window_, kTimerId, kTimerPeriodMs, nullptr);
}

ChartWindow::~ChartWindow() {
    if (window_)
        ::DestroyWindow(window_);  // and its menu with it
    if (accelerators_)
        ::DestroyAcceleratorTable(accelerators_);
}

void ChartWindow::showFile(const std::string& path) {
    shownPath_ = fullPathOf(path);
    chart_.showFile(shownPath_);
    refresh();
    redraw();
}

void ChartWindow::followRecording() {
    shownPath_.clear();
    chart_.followRecording(programFolder_);
    refresh();
    redraw();
}

void ChartWindow::refresh() {
    lastLook_ = ::GetTickCount64();
    if (chart_.update(chart::Chart::Clock::now()))
        redraw();
    const std::wstring title = text::toWide(chart_.title());
    if (title != title_ && window_) {
        ::SetWindowTextW(window_, title.c_str());
        title_ = title;
    }
    watch_.watch(folderShown());
}

int ChartWindow::run(int showCommand) {
    ::ShowWindow(window_, showCommand);
    ::UpdateWindow(window_);
    return runChartLoop(window_, accelerators_, watch_, [this] {
        if (::GetTickCount64() - lastLook_ >= kQuickestLookMs)
            refresh();
    });
}

void ChartWindow::redraw() {
    if (window_)
        ::InvalidateRect(window_, nullptr, FALSE);
}

LRESULT CALLBACK ChartWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = win32ui::windowObject<ChartWindow>(window, message, lParam);
    if (!self || !self->window_)  // still being made
        return ::DefWindowProcW(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT ChartWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the paint covers every pixel: no flash of background first
    case WM_TIMER:
        if (wParam == kTimerId)
            refresh();
        return 0;
    case WM_MOUSEWHEEL: {
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};  // on the screen
        ::ScreenToClient(window_, &at);
        chart_.wheel(at.x, at.y, GET_WHEEL_DELTA_WPARAM(wParam));
        redraw();
        return 0;
    }
    case WM_LBUTTONDOWN:
        ::SetCapture(window_);
        chart_.press(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        redraw();
        return 0;
    case WM_MOUSEMOVE:
        if (::GetCapture() == window_) {
            chart_.drag(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            redraw();
        }
        return 0;
    case WM_LBUTTONUP:
        if (::GetCapture() == window_) {
            chart_.release(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            ::ReleaseCapture();
            redraw();
        }
        return 0;
    case WM_CAPTURECHANGED:  // another window took the mouse: the drag is dropped
        chart_.key(chart::Key::Cancel);
        redraw();
        return 0;
    case WM_LBUTTONDBLCLK:
        chart_.key(chart::Key::Cancel);
        chart_.key(chart::Key::Whole);
        redraw();
        return 0;
    case WM_KEYDOWN:
        onKey(wParam);
        return 0;
    case WM_CHAR:
        onCharacter(wchar_t(wParam));
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) <= 1 && lParam == 0) {  // the menu (0) or an accelerator (1)
            if (const auto command = commandOf(LOWORD(wParam)))
                run(*command);
        }
        return 0;
    case WM_DROPFILES:
        onDrop(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_DPICHANGED: {
        dpi_ = HIWORD(wParam);
        host_.setDpi(dpi_);
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        ::SetWindowPos(window_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                       suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        redraw();
        return 0;
    }
    case WM_GETMINMAXINFO: {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMinTrackSize = {scaled(kMinimumWidth, dpi_), scaled(kMinimumHeight, dpi_)};
        return 0;
    }
    case WM_DESTROY:
        ::KillTimer(window_, kTimerId);
        ::PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY: {
        const HWND window = window_;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        window_ = nullptr;
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

const chart::DisplayList& ChartWindow::layOut(int width, int height) {
    host_.setDpi(dpi_);
    chart_.resize(width, height, int(dpi_));
    return chart_.draw();
}

void ChartWindow::paint() {
    PAINTSTRUCT paintStruct;
    const HDC dc = ::BeginPaint(window_, &paintStruct);
    RECT client{};
    ::GetClientRect(window_, &client);
    const int width = client.right, height = client.bottom;
    if (width > 0 && height > 0) {
        const HDC buffered = buffer_.prepare(dc, width, height);
        paintDisplayList(buffered ? buffered : dc, layOut(width, height), host_.faces(), systemInkColours());
        if (buffered)
            buffer_.show(dc);
    }
    ::EndPaint(window_, &paintStruct);
}

void ChartWindow::onKey(WPARAM key) {
    switch (key) {
    case VK_UP:
        chart_.key(chart::Key::ZoomIn);
        break;
    case VK_DOWN:
        chart_.key(chart::Key::ZoomOut);
        break;
    case VK_LEFT:
        chart_.key(chart::Key::Earlier);
        break;
    case VK_RIGHT:
        chart_.key(chart::Key::Later);
        break;
    case VK_HOME:
        chart_.key(chart::Key::Whole);
        break;
    case VK_ESCAPE:
        chart_.key(chart::Key::Cancel);
        if (::GetCapture() == window_)
            ::ReleaseCapture();
        break;
    default:
        return;
    }
    redraw();
}

// "+" and "-" as typed, whichever key types them (the numeric pad's too);
// "=" is "+" without Shift on many keyboards.
void ChartWindow::onCharacter(wchar_t character) {
    if (character == L'+' || character == L'=')
        chart_.key(chart::Key::ZoomIn);
    else if (character == L'-')
        chart_.key(chart::Key::ZoomOut);
    else
        return;
    redraw();
}

void ChartWindow::onDrop(HDROP drop) {
    std::wstring path;
    // One file is shown; several, or a folder's contents, are not guessed at.
    if (::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 1) {
        path.resize(::DragQueryFileW(drop, 0, nullptr, 0) + 1);
        path.resize(::DragQueryFileW(drop, 0, path.data(), UINT(path.size())));
    }
    ::DragFinish(drop);
    if (!path.empty())
        showFile(text::toUtf8(path));
}

std::string ChartWindow::folderShown() const {
    return shownPath_.empty() ? programFolder_ : logfile::windowsFolderOf(shownPath_);
}

} // namespace win32chart
