#include "system_error.h"

#include "windows_encoding.h"

#include <windows.h>

namespace text {

std::string systemErrorText(int number) {
    // The wide FormatMessage: the narrow one (and MinGW's
    // std::system_category(), which uses it) gives the ANSI code page,
    // which a UTF-8 report cannot carry on, say, a Russian Windows.
    wchar_t* message = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, DWORD(number), 0, reinterpret_cast<LPWSTR>(&message), 0, nullptr);
    std::wstring wide = length ? std::wstring(message, length) : std::wstring();
    ::LocalFree(message);
    while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L'.'))
        wide.pop_back();
    return wide.empty() ? "System error " + std::to_string(number) : toUtf8(wide);
}

} // namespace text
