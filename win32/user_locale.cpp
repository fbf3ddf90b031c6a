#include "user_locale.h"

#include "encoding_windows.h"

namespace win32ui {

std::string userLocaleInfo(LCTYPE type) {
    wchar_t text[88]{};  // LOCALE_SDECIMAL holds up to three characters, a designator fifteen
    const int length = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, text, 88);
    return length > 1 ? text::toUtf8(std::wstring_view(text, std::size_t(length - 1))) : std::string();
}

} // namespace win32ui
