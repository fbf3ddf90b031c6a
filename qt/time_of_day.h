#pragma once
// The Linux program's time of day, as the C library writes it.

#include <ctime>
#include <string>

namespace qtui {

// Hours, minutes and seconds of `time` in the C library's time format of the
// current LC_TIME locale (strftime "%X"): "14:03:07" in most locales,
// "02:03:07 PM" in en_US. No date and no time zone. The text is in the
// locale's own encoding, UTF-8 under the locales this program runs in.
std::string timeOfDayText(const std::tm& time);

} // namespace qtui
