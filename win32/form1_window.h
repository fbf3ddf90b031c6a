#pragma once
// Form1 as a Win32 window: the layout's controls, the exit button wired to
// Form1's handler, message boxes, and the window's end. Everything the
// handlers do is Form1's (app/form1.h); this is layout, wiring and Win32.
//
// Messages are never shown from inside a handler: a report is kept and a
// message posted to the window, whose box comes up once the handler has
// returned, so handlers never nest. The end of the user's session saves
// the recording (Form1::endSession) before Windows may end the process.

#include "form1.h"
#include "form1_controls.h"
#include "list1_rows.h"

#include <deque>
#include <memory>
#include <optional>
#include <string>

#include <windows.h>

namespace win32ui {

class Form1Window final : private app::Form1View {
public:
    // Creates the window hidden; Form1's load() comes before the first show.
    Form1Window(std::unique_ptr<serial::SerialLine> port, app::Runtime& runtime);
    ~Form1Window() override;
    Form1Window(const Form1Window&) = delete;
    Form1Window& operator=(const Form1Window&) = delete;

    app::Form1& form() { return *form_; }
    HWND handle() const noexcept { return window_; }
    const Form1Controls& controls() const noexcept { return controls_; }
    // A problem the user can put right, shown as Form1's are: without
    // blocking, once the current message is done.
    void tellUser(const std::string& text) { reportProblem(text); }

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void fitToDpi(UINT dpi, const RECT* suggested);
    void showProblem();
    void showFatal();
    void finish();

    void setLabel1Caption(std::string_view text) override;
    void setLabel3Caption(std::string_view text) override;
    bool check1Ticked() const override;
    std::string text1Text() const override;
    void list1Grew(const app::RecordedList& list, std::int32_t first) override;
    void reportProblem(const std::string& text) override;
    void endWithReport(const std::string& report, int status) noexcept override;
    void closeWindow() override;

    HWND window_ = nullptr;
    Form1Controls controls_;
    std::unique_ptr<Form1Fonts> fonts_;
    std::unique_ptr<List1Rows> list1Rows_;
    std::unique_ptr<app::Form1> form_;
    HWND lastFocus_ = nullptr;
    std::deque<std::string> problems_;
    std::optional<std::string> fatal_;  // the report an error ended the program with
    int exitStatus_ = 0;
};

} // namespace win32ui
