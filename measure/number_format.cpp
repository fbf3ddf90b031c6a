#include "number_format.h"

namespace measure {

NumberFormat NumberFormat::fromLocale(const QLocale& locale) {
    NumberFormat format;
    const QString separator = locale.decimalPoint();
    if (!separator.isEmpty())
        format.decimalSeparator = separator;
    return format;
}

} // namespace measure
