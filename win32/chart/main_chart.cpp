// thermometer-chart: a thermometer's readings as a chart. With a file
// named, that log or journal; with none, the recording in progress beside
// the program.

#include "chart_window.h"
#include "encoding_windows.h"
#include "error.h"
#include "language.h"
#include "message.h"

#include <objbase.h>
#include <shellapi.h>
#include <windows.h>

#include <optional>
#include <string>

namespace {

// The one argument, read from the wide command line: MinGW's own argv is
// in the ANSI code page, in which a Cyrillic or Korean path may not exist.
std::optional<std::string> fileArgument() {
    int count = 0;
    LPWSTR* arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!arguments)
        return std::nullopt;
    std::optional<std::string> file;
    if (count > 1 && arguments[1][0] != L'\0')
        file = text::toUtf8(arguments[1]);
    ::LocalFree(arguments);
    return file;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    text::setLanguage(text::userLanguage());
    // The file dialogs and the PNG encoder are COM's.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    int status = 0;
    try {
        win32chart::ChartWindow window;
        if (const auto file = fileArgument())
            window.showFile(*file);
        else
            window.followRecording();
        status = window.run(showCommand);
    } catch (const text::Error& error) {
        ::MessageBoxW(nullptr, text::toWide(text::reportLine(error)).c_str(),
                      text::toWide(text::render(text::MessageId::ChartProgram)).c_str(),
                      MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
        status = 1;
    }
    if (SUCCEEDED(com))
        ::CoUninitialize();
    return status;
}
