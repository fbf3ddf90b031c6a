#pragma once
// Windows only: the program's texts are UTF-8, Windows' wide API speaks
// UTF-16, and its narrow API the ANSI code page. Also the system's own text
// for an error code, in UTF-8: the narrow FormatMessage (and MinGW's
// std::system_category(), which uses it) gives the ANSI code page, which a
// UTF-8 report cannot carry on, say, a Russian Windows.

#include <string>
#include <string_view>

namespace measure {

std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view wide);
// Characters the code page lacks become its default character ('?').
std::string toAnsiCodePage(std::wstring_view wide);

// "Access is denied": no trailing period or line end; "System error N" for a
// code the system has no text for.
std::string systemErrorText(unsigned long code);

} // namespace measure
