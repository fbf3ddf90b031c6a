#include "log_entry.h"

#include <array>
#include <ctime>

namespace measure {

QString logEntry(const QString& temperatureText, const QString& timeText) {
    return temperatureText + QLatin1String("    ") + timeText;
}

QString timeOfDayText(const QTime& time) {
    std::tm parts{};
    parts.tm_hour = time.hour();
    parts.tm_min = time.minute();
    parts.tm_sec = time.second();
    // A date strftime can print without complaint should a locale's %X ask
    // for more than the time: 1 January 2000.
    parts.tm_mday = 1;
    parts.tm_year = 100;
    std::array<char, 128> buffer{};
    const std::size_t length = std::strftime(buffer.data(), buffer.size(), "%X", &parts);
    return QString::fromLocal8Bit(buffer.data(), qsizetype(length));
}

} // namespace measure
