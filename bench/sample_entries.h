#pragma once
// Log entries as the program records them: a temperature near room
// temperature and the time of day, one second apart.

#include "conversion.h"
#include "log_entry.h"

#include <cstdio>
#include <string>

inline std::string sampleEntry(int index) {
    static const measure::NumberFormat format;
    // Codes 540..599 read 2.68 V to 2.96 V: -5 to 23 degrees, one and two digits.
    const double code = 540 + index % 60;
    const int second = index % 86400;
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", second / 3600, second / 60 % 60, second % 60);
    return measure::logEntry(measure::convertCode(code, format).temperatureText, time);
}
