// Linux: the AM/PM strings of the C library's locale for LC_TIME, as the
// environment names it (the thermometer writes its times with strftime
// under the same locale).

#include "day_half.h"

#include "unicode_text.h"

#include <langinfo.h>
#include <locale.h>

namespace chart {

DayHalfMarkers userDayHalfMarkers() {
    const locale_t locale = ::newlocale(LC_TIME_MASK, "", locale_t(0));
    if (locale == locale_t(0))
        return {};
    DayHalfMarkers markers{::nl_langinfo_l(AM_STR, locale), ::nl_langinfo_l(PM_STR, locale)};
    ::freelocale(locale);
    // A locale in another encoding than UTF-8 gives markers that cannot be
    // compared with a log's UTF-8 text.
    if (!isUtf8(markers.morning) || !isUtf8(markers.afternoon))
        return {};
    return markers;
}

} // namespace chart
