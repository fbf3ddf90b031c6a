#pragma once
// Which half of the day an AM/PM marker names. A log's times carry the
// marker of the locale they were written under, in its language: "PM",
// "م", "오후", "μ.μ.". The markers known are those of every locale of the
// C library, the common ones of Windows, and the user's own (which a
// Windows user can change).

#include <string>
#include <string_view>

namespace chart {

enum class DayHalf { Unknown, Morning, Afternoon };

// The half a time's frame (TimeText::frame) names: the longest known marker
// in it that stands as a word of its own. ASCII letters match in either case.
DayHalf dayHalfOf(std::string_view frame);

struct DayHalfMarkers {
    std::string morning;
    std::string afternoon;
};

// The markers of the user's own time format, UTF-8; empty where it has
// none. day_half_linux.cpp and day_half_windows.cpp implement it.
DayHalfMarkers userDayHalfMarkers();

} // namespace chart
