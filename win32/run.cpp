#include "run.h"

#include "encoding_windows.h"
#include "error.h"
#include "form1_window.h"
#include "language.h"
#include "message_loop.h"
#include "real_port.h"
#include "temporary_folder.h"
#include "win32_runtime.h"

#include <commctrl.h>

int runThermometer(int showCommand, std::unique_ptr<serial::SerialLine> port,
                   const std::function<void()>& onLoaded) {
    // Loads common controls 6, which the manifest asks for: themed controls.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    text::setLanguage(text::userLanguage());

    try {
        win32ui::TimerSet timers;
        win32ui::Win32Runtime runtime(timers);
        win32ui::Form1Window window(std::move(port), runtime);
        // A failed load has posted its report; the loop shows it, with the
        // window still hidden, and ends with the failure's status.
        if (window.form().load()) {
            if (onLoaded)
                onLoaded();
            ::ShowWindow(window.handle(), showCommand);
            ::UpdateWindow(window.handle());
            if (const auto warning = win32ui::temporaryFolderWarning(runtime.programDirectory()))
                window.tellUser(*warning);
            window.form().startJournal();
        }
        return win32ui::runMessageLoop(window.handle(), timers);
    } catch (const text::Error& error) {
        // Only the window itself can fail here; everything later is Form1's.
        ::MessageBoxW(nullptr, text::toWide(text::reportLine(error)).c_str(),
                      text::toWide(text::render(text::MessageId::BoxTitle)).c_str(),
                      MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
        return app::Form1::kFatalExitStatus;
    }
}

void announce(const std::string& line) noexcept {
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (!output || output == INVALID_HANDLE_VALUE)
        return;
    try {
        // WriteFile is unbuffered: the line is there as soon as this returns.
        const std::string text = text::programLine(line);
        DWORD written = 0;
        ::WriteFile(output, text.data(), DWORD(text.size()), &written, nullptr);
    } catch (...) {
    }
}

void announcePort(int number, const std::string& device) {
    announce(serial::openedPortText(number, device));
}
