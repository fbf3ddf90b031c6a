#include "time_of_day.h"

#include <array>

namespace qtui {

std::string timeOfDayText(const std::tm& time) {
    std::tm parts{};
    parts.tm_hour = time.tm_hour;
    parts.tm_min = time.tm_min;
    parts.tm_sec = time.tm_sec;
    // A date strftime can print without complaint should a locale's %X ask
    // for more than the time: 1 January 2000.
    parts.tm_mday = 1;
    parts.tm_year = 100;
    std::array<char, 128> buffer{};
    const std::size_t length = std::strftime(buffer.data(), buffer.size(), "%X", &parts);
    return std::string(buffer.data(), length);
}

} // namespace qtui
