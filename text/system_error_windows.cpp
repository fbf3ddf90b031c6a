#include "system_error.h"

#include "encoding_windows.h"
#include "language.h"

#include <windows.h>

namespace text {
namespace {

std::wstring formatMessage(DWORD number, DWORD languageId) {
    // The wide FormatMessage: the narrow one (and MinGW's
    // std::system_category(), which uses it) gives the ANSI code page,
    // which a UTF-8 report cannot carry on, say, a Russian Windows.
    wchar_t* message = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, number, languageId, reinterpret_cast<LPWSTR>(&message), 0, nullptr);
    std::wstring wide = length ? std::wstring(message, length) : std::wstring();
    ::LocalFree(message);
    while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L'.'))
        wide.pop_back();
    return wide;
}

} // namespace

std::string systemErrorText(int number) {
    // The user's language where the system has the text in it, else
    // English, else whatever the system has.
    const DWORD russian = MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT);
    const DWORD english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    std::wstring wide;
    if (currentLanguage() == Language::Russian)
        wide = formatMessage(DWORD(number), russian);
    if (wide.empty())
        wide = formatMessage(DWORD(number), english);
    if (wide.empty())
        wide = formatMessage(DWORD(number), 0);
    return wide.empty() ? "System error " + std::to_string(number) : toUtf8(wide);
}

} // namespace text
