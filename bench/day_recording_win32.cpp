// A day's recording through the Win32 window (day_recording.h). Run it
// under Wine only inside tests/e2e/with-virtual-port --wine.

#include "counting_line.h"
#include "day_recording.h"
#include "encoding_windows.h"
#include "form1_window.h"
#include "waitable_timers.h"
#include "win32_runtime.h"

#include <algorithm>
#include <cstdlib>

#include <psapi.h>
#include <windows.h>

namespace {

// The working set, as resident memory on Linux: Wine keeps no count of
// private bytes, but it does of the working set.
double workingSetBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return double(counters.WorkingSetSize);
}

void pumpMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

} // namespace

// Optionally the number of readings, for a shorter trial: day_recording.exe 5000
int main(int argc, char** argv) {
    const int entries = argc > 1 ? std::max(1, std::atoi(argv[1])) : kDayEntries;
    wchar_t temp[MAX_PATH]{};
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"thermometer-day-" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(folder.c_str(), nullptr);

    win32ui::TimerSet timers;
    win32ui::Win32Runtime real(timers);
    SteppedClockRuntime runtime(real);
    runtime.directory = text::toUtf8(folder);
    win32ui::Form1Window window(std::make_unique<CountingLine>(), runtime);
    if (!window.form().load())
        return 2;
    ::ShowWindow(window.handle(), SW_SHOWNORMAL);
    ::SendMessageW(window.controls().Check1, BM_SETCHECK, BST_CHECKED, 0);
    const DayFigures day = recordADay(window.form(), runtime, pumpMessages, workingSetBytes, entries);
    const std::wstring saved = folder + L"\\database.txt";
    const bool wasSaved = ::GetFileAttributesW(saved.c_str()) != INVALID_FILE_ATTRIBUTES;
    ::DeleteFileW(saved.c_str());
    ::RemoveDirectoryW(folder.c_str());
    return reportDay(day, wasSaved, entries);
}
