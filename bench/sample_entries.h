#pragma once
// Log entries as the program records them: a temperature near room
// temperature and the time of day, one second apart.

#include "conversion.h"
#include "log_entry.h"

#include <QString>
#include <QTime>

inline QString sampleEntry(int index) {
    static const measure::NumberFormat format;
    // Codes 540..599 read 2.68 V to 2.96 V: -5 to 23 degrees, one and two digits.
    const double code = 540 + index % 60;
    const QTime time = QTime(0, 0).addSecs(index % 86400);
    return measure::logEntry(measure::convertCode(code, format).temperatureText,
                             measure::timeOfDayText(time));
}
