// Windows: the user's own AM and PM designators, which the user can change
// in the regional settings and which GetTimeFormatEx writes.

#include "day_half.h"

#include "encoding_windows.h"

#include <windows.h>

namespace chart {
namespace {

std::string localeText(LCTYPE type) {
    wchar_t text[64] = {};
    const int length = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, text, 64);
    return length > 1 ? text::toUtf8(std::wstring_view(text, std::size_t(length - 1))) : std::string();
}

} // namespace

DayHalfMarkers userDayHalfMarkers() {
    return {localeText(LOCALE_S1159), localeText(LOCALE_S2359)};
}

} // namespace chart
