#pragma once
// Windows only: the program's texts are UTF-8, Windows' wide API speaks
// UTF-16, and its narrow API the ANSI code page.

#include <string>
#include <string_view>

namespace text {

std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view wide);
// Characters the code page lacks become its default character ('?').
std::string toAnsiCodePage(std::wstring_view wide);
// Text in the ANSI code page (a log the Windows program saved) as UTF-8.
std::string ansiCodePageToUtf8(std::string_view narrow);

} // namespace text
