#pragma once
// How the user's locale writes numbers, reduced to what the reading texts
// need. Only the decimal separator follows the locale: digits are never
// grouped and the minus sign is always the ASCII hyphen-minus, which every
// spreadsheet and narrow code page reads (some locales' data would give
// U+2212 instead).

#include <QLocale>
#include <QString>

namespace measure {

struct NumberFormat {
    QString decimalSeparator = QStringLiteral(".");

    static NumberFormat fromLocale(const QLocale& locale);
};

} // namespace measure
