#include "modal_loop_watch.h"

#include "error.h"

namespace win32ui {
namespace {

constexpr const wchar_t* kClassName = L"ThermometerModalLoopWatch";
constexpr UINT kServeTimers = WM_APP + 1;
// How long the message loop may stay away before the timers are served
// from elsewhere; once it is away, how often they are served. The loop
// comes round about a thousand times a second while the timers run.
constexpr DWORD kStalledAfterMs = 10;
constexpr DWORD kServeEveryMs = 2;

[[noreturn]] void fail(const char* call) {
    throw text::Error::system(int(::GetLastError()), call);
}

} // namespace

ModalLoopWatch::ModalLoopWatch(TimerSet& timers) : timers_(timers) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &ModalLoopWatch::windowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    if (!::RegisterClassExW(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        fail("RegisterClassExW");
    // A message-only window: it belongs to this thread, so what is sent to
    // it runs here, between the modal loop's own messages.
    window_ = ::CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this);
    if (!window_)
        fail("CreateWindowExW");
    stop_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!stop_) {
        ::DestroyWindow(window_);
        fail("CreateEventW");
    }
    thread_ = std::thread([this] { watch(); });
}

ModalLoopWatch::~ModalLoopWatch() {
    ::SetEvent(stop_);
    thread_.join();
    ::CloseHandle(stop_);
    ::DestroyWindow(window_);
}

LRESULT CALLBACK ModalLoopWatch::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<ModalLoopWatch*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == kServeTimers) {
        self->sent_.store(false);
        self->timers_.deliverDue();
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void ModalLoopWatch::watch() {
    unsigned seen = rounds_.load(std::memory_order_relaxed);
    DWORD pause = kStalledAfterMs;
    while (::WaitForSingleObject(stop_, pause) == WAIT_TIMEOUT) {
        const unsigned now = rounds_.load(std::memory_order_relaxed);
        if (now != seen) {
            seen = now;
            pause = kStalledAfterMs;
            continue;
        }
        pause = kServeEveryMs;
        // One at a time: a window thread that is busy, not in a modal
        // loop, finds only one waiting when it comes back.
        if (!sent_.exchange(true) && !::SendNotifyMessageW(window_, kServeTimers, 0, 0))
            sent_.store(false);
    }
}

} // namespace win32ui
