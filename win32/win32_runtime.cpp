#include "win32_runtime.h"

#include "encoding_windows.h"
#include "program_path.h"
#include "run.h"
#include "user_locale.h"
#include "windows_file_name.h"

namespace win32ui {
namespace {

measure::NumberFormat userNumberFormat() {
    measure::NumberFormat format;
    if (std::string separator = userLocaleInfo(LOCALE_SDECIMAL); !separator.empty())
        format.decimalSeparator = std::move(separator);
    return format;
}

} // namespace

Win32Runtime::Win32Runtime(TimerSet& timers)
    : timers_(timers), numberFormat_(userNumberFormat()), programPath_(programPath()) {}

std::string Win32Runtime::programDirectory() const {
    return logfile::windowsFolderOf(text::toUtf8(programPath_));
}

std::string Win32Runtime::programName() const {
    std::wstring_view name(programPath_);
    name.remove_prefix(name.find_last_of(L'\\') + 1);
    return text::toUtf8(name.substr(0, name.rfind(L'.')));
}

void Win32Runtime::announce(const std::string& line) noexcept {
    ::announce(line);
}

void Win32Runtime::keepSystemAwake(bool awake) noexcept {
    // Holds for this thread (the window's) until changed: a system that
    // will not sleep on its own, which the user can still suspend. Best
    // effort: a refusal leaves nothing worse than before.
    ::SetThreadExecutionState(awake ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED : ES_CONTINUOUS);
}

std::string Win32Runtime::timeOfDayText() const {
    // Null time and format: now, in the user's long time format.
    wchar_t text[80]{};
    const int length = ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, nullptr, nullptr, text, 80);
    return length > 1 ? text::toUtf8(std::wstring_view(text, std::size_t(length - 1))) : std::string();
}

std::unique_ptr<app::Timer> Win32Runtime::makeTimer(std::chrono::milliseconds interval,
                                                    std::function<void()> onTick) {
    return std::make_unique<WaitableTimer>(timers_, interval, std::move(onTick));
}

} // namespace win32ui
