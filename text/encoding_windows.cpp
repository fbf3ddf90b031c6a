#include "encoding_windows.h"

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

std::wstring wideFrom(std::string_view text, UINT codePage) {
    if (text.empty())
        return {};
    const int length = ::MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(std::size_t(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), wide.data(), length);
    return wide;
}

} // namespace

std::wstring toWide(std::string_view utf8) {
    return wideFrom(utf8, CP_UTF8);
}

std::string toUtf8(std::wstring_view wide) {
    return narrow(wide, CP_UTF8);
}

std::string toAnsiCodePage(std::wstring_view wide) {
    return narrow(wide, CP_ACP);
}

std::string ansiCodePageToUtf8(std::string_view narrowText) {
    return narrow(wideFrom(narrowText, CP_ACP), CP_UTF8);
}

} // namespace text
