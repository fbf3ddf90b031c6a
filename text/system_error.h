#pragma once
// The system's own text for one of its error codes (errno on Linux,
// GetLastError() on Windows), in UTF-8, without a trailing period or line
// end: "Access is denied". A code the system has no text for gives the
// system's own placeholder ("Unknown error N" on Linux) or, on Windows,
// "System error N". system_error_linux.cpp and system_error_windows.cpp
// implement it.

#include <string>

namespace text {

std::string systemErrorText(int number);

} // namespace text
