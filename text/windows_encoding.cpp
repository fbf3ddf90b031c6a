#include "windows_encoding.h"

#include <windows.h>

namespace text {
namespace {

std::string narrow(std::wstring_view wide, UINT codePage) {
    if (wide.empty())
        return {};
    const int size = ::WideCharToMultiByte(codePage, 0, wide.data(), int(wide.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string text(std::size_t(size), '\0');
    ::WideCharToMultiByte(codePage, 0, wide.data(), int(wide.size()), text.data(), size, nullptr,
                          nullptr);
    return text;
}

} // namespace

std::wstring toWide(std::string_view utf8) {
    if (utf8.empty())
        return {};
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring wide(std::size_t(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), length);
    return wide;
}

std::string toUtf8(std::wstring_view wide) {
    return narrow(wide, CP_UTF8);
}

std::string toAnsiCodePage(std::wstring_view wide) {
    return narrow(wide, CP_ACP);
}

} // namespace text
