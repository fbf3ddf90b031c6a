#pragma once
// The texts of one recorded reading: "25    14:03:07".

#include <QString>
#include <QTime>

namespace measure {

// The temperature as the window shows it without " *C", exactly four
// blanks, then the time of day.
QString logEntry(const QString& temperatureText, const QString& timeText);

// Hours, minutes and seconds in the C library's time format of the current
// LC_TIME locale (strftime "%X"): "14:03:07" in most locales, "02:03:07 PM"
// in en_US. No date and no time zone, unlike Qt's long time format.
QString timeOfDayText(const QTime& time);

} // namespace measure
