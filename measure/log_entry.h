#pragma once
// The texts of one recorded reading: "25    14:03:07".

#include <string>
#include <string_view>

namespace measure {

// The temperature as the window shows it without " *C", exactly four
// blanks, then the time of day.
std::string logEntry(std::string_view temperatureText, std::string_view timeText);

} // namespace measure
