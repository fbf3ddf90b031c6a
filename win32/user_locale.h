#pragma once
// One of the user's regional settings as UTF-8 text: the decimal
// separator, the AM and PM designators. The user can change them, so they
// are asked of Windows, not assumed from the language.

#include <string>

#include <windows.h>

namespace win32ui {

// Empty where Windows has none.
std::string userLocaleInfo(LCTYPE type);

} // namespace win32ui
