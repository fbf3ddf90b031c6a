#include "form1_window.h"

#include "dpi.h"
#include "encoding_windows.h"
#include "error.h"
#include "form1_layout.h"
#include "resource_ids.h"
#include "window_object.h"

namespace win32ui {
namespace {

constexpr const wchar_t* kClassName = L"ThermometerForm1";
// A fixed frame: a caption, the minimize and close boxes, no sizing.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = 0;

constexpr UINT kShowProblem = WM_APP + 1;
constexpr UINT kShowFatal = WM_APP + 2;

// The outer size at `dpi`: Form1's client area in twips, in pixels there,
// inside the frame as drawn at that DPI.
SIZE outerSizeAt(UINT dpi) {
    const app::PixelSize client = app::clientSizeAt(int(dpi));
    return windowSizeFor(client.width, client.height, kStyle, kExStyle, dpi);
}

void registerWindowClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDI_THERMOMETER));
    windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    // A second window in the same process finds the class there already.
    if (!::RegisterClassExW(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw text::Error::system(int(::GetLastError()), "RegisterClassExW");
}

// Where there is one: started from a console with output redirected, or
// under a test runner.
void toStandardError(const std::string& text) {
    const HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
    if (!error || error == INVALID_HANDLE_VALUE)
        return;
    const std::string line = text::programLine(text);
    DWORD written = 0;
    ::WriteFile(error, line.data(), DWORD(line.size()), &written, nullptr);
}

std::wstring reportTitle() {
    return text::toWide(text::render(text::MessageId::BoxTitle));
}

} // namespace

Form1Window::Form1Window(std::unique_ptr<serial::SerialLine> port, app::Runtime& runtime) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    registerWindowClass(instance, &Form1Window::windowProc);
    registerBundledFaces();
    window_ = ::CreateWindowExW(kExStyle, kClassName, text::toWide(app::kForm1Caption).c_str(), kStyle,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                                nullptr, instance, this);
    if (!window_)
        throw text::Error::system(int(::GetLastError()), "CreateWindowExW");
    controls_ = createForm1Controls(window_);
    // Created on the monitor it will show on, so this is the DPI to start at.
    fitToDpi(dpiOf(window_), nullptr);
    list1Rows_ = std::make_unique<List1Rows>(controls_.List1);
    form_ = std::make_unique<app::Form1>(std::move(port), static_cast<app::Form1View&>(*this), runtime);
}

Form1Window::~Form1Window() {
    // Form1 first: its timers stop before anything they could reach goes.
    form_.reset();
    if (window_)
        ::DestroyWindow(window_);
}

LRESULT CALLBACK Form1Window::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = windowObject<Form1Window>(window, message, lParam);
    if (!self || !self->form_)  // still being built
        return ::DefWindowProcW(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT Form1Window::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        // Only the button's own click: Enter and Escape arrive as IDOK and
        // IDCANCEL from the dialog keys and do nothing.
        if (reinterpret_cast<HWND>(lParam) == controls_.Command1 && HIWORD(wParam) == BN_CLICKED)
            form_->deliver(&app::Form1::OnExitClick);
        return 0;
    case WM_CLOSE:
        // An error has ended the program: its report comes first.
        if (fatal_) {
            showFatal();
            return 0;
        }
        // The close box ends the program without saving.
        form_->windowClosing();
        ::DestroyWindow(window_);
        return 0;
    case WM_DESTROY:
        form_->windowClosing();
        ::PostQuitMessage(exitStatus_);
        return 0;
    case WM_NCDESTROY: {
        const HWND window = window_;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        window_ = nullptr;
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    case WM_GETDPISCALEDSIZE:
        // Asked while the window is dragged onto a monitor of another
        // scaling, before the move: without the true size there Windows
        // scales the whole outer size, frame and rounding included, and a
        // window on the edge can flip between the monitors as it changes.
        *reinterpret_cast<SIZE*>(lParam) = outerSizeAt(UINT(wParam));
        return TRUE;
    case WM_DPICHANGED:
        fitToDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = ::GetFocus();
            if (focus && ::IsChild(window_, focus))
                lastFocus_ = focus;
        }
        break;
    case WM_SETFOCUS:
        ::SetFocus(lastFocus_ && ::IsWindow(lastFocus_) ? lastFocus_ : controls_.firstTabStop());
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;  // nothing to ask: the list is saved on the way out
    case WM_ENDSESSION:
        // Windows may end the process as soon as this returns, so the save
        // is done here; the close that follows discards nothing.
        if (wParam) {
            form_->endSession();
            finish();
        }
        return 0;
    case kShowProblem:
        showProblem();
        return 0;
    case kShowFatal:
        if (fatal_)
            showFatal();
        else
            finish();  // nothing that could be shown
        return 0;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

void Form1Window::fitToDpi(UINT dpi, const RECT* suggested) {
    // The new faces go on before the old ones are deleted.
    auto fonts = std::make_unique<Form1Fonts>(dpi);
    layOutForm1Controls(controls_, dpi, *fonts);
    fonts_ = std::move(fonts);

    const SIZE size = outerSizeAt(dpi);
    // The suggestion's place is kept; its size is WM_GETDPISCALEDSIZE's
    // answer where Windows asked, the old size scaled where it did not.
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (suggested ? 0 : SWP_NOMOVE);
    ::SetWindowPos(window_, nullptr, suggested ? suggested->left : 0, suggested ? suggested->top : 0,
                   size.cx, size.cy, flags);
}

void Form1Window::showProblem() {
    if (problems_.empty())
        return;
    const std::wstring problem = text::toWide(problems_.front());
    problems_.pop_front();
    // Sampling and the keep-alive go on while the box is up
    // (modal_loop_watch.h); only the window waits for it.
    ::MessageBoxW(window_, problem.c_str(), reportTitle().c_str(), MB_OK | MB_ICONWARNING);
}

void Form1Window::showFatal() {
    const std::wstring report = text::toWide(*fatal_);
    fatal_.reset();  // told once, whatever asks for it meanwhile
    // Before the window was ever shown (a failed start) the box stands alone.
    const bool shown = window_ && ::IsWindowVisible(window_);
    ::MessageBoxW(shown ? window_ : nullptr, report.c_str(), reportTitle().c_str(),
                  MB_OK | MB_ICONERROR | (shown ? 0 : MB_SETFOREGROUND));
    finish();
}

void Form1Window::finish() {
    if (window_)
        ::DestroyWindow(window_);  // WM_DESTROY ends the message loop
}

void Form1Window::setLabel1Caption(std::string_view text) {
    ::SetWindowTextW(controls_.Label1, text::toWide(text).c_str());
}

void Form1Window::setLabel3Caption(std::string_view text) {
    ::SetWindowTextW(controls_.Label3, text::toWide(text).c_str());
}

bool Form1Window::check1Ticked() const {
    return ::SendMessageW(controls_.Check1, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::string Form1Window::text1Text() const {
    std::wstring typed(std::size_t(::GetWindowTextLengthW(controls_.Text1)) + 1, L'\0');
    typed.resize(std::size_t(::GetWindowTextW(controls_.Text1, typed.data(), int(typed.size()))));
    return text::toUtf8(typed);
}

void Form1Window::list1Grew(const app::RecordedList& list, std::int32_t first) {
    list1Rows_->list1Grew(list, first);
}

void Form1Window::reportProblem(const std::string& text) {
    toStandardError(text);
    problems_.push_back(text);
    ::PostMessageW(window_, kShowProblem, 0, 0);
}

void Form1Window::endWithReport(const std::string& report, int status) noexcept {
    // The status first: whatever ends the window from here on ends the
    // program with it.
    exitStatus_ = status;
    try {
        toStandardError(report);
        fatal_ = report;
    } catch (...) {
        fatal_.reset();
    }
    ::PostMessageW(window_, kShowFatal, 0, 0);
}

void Form1Window::closeWindow() {
    ::DestroyWindow(window_);
}

} // namespace win32ui
