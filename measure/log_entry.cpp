#include "log_entry.h"

namespace measure {

std::string logEntry(std::string_view temperatureText, std::string_view timeText) {
    std::string entry;
    entry.reserve(temperatureText.size() + 4 + timeText.size());
    entry.append(temperatureText).append("    ").append(timeText);
    return entry;
}

} // namespace measure
