#pragma once
// The texts of one recorded reading: "25    14:03:07".

#include <ctime>
#include <string>
#include <string_view>

namespace measure {

// The temperature as the window shows it without " *C", exactly four
// blanks, then the time of day.
std::string logEntry(std::string_view temperatureText, std::string_view timeText);

// Hours, minutes and seconds of `time` in the C library's time format of the
// current LC_TIME locale (strftime "%X"): "14:03:07" in most locales,
// "02:03:07 PM" in en_US. No date and no time zone. The text is in the
// locale's own encoding, UTF-8 under the locales this program runs in.
std::string timeOfDayText(const std::tm& time);

} // namespace measure
