#pragma once
// Dates and times of day as a wall clock shows them, counted in seconds
// from 1970-01-01 00:00:00 of that clock: no time zone, every day 86 400
// seconds long. A journal's dated lines are in it; so is a reading once its
// day is known.

#include <cstdint>
#include <optional>
#include <string_view>

namespace chart {

inline constexpr std::int64_t kSecondsPerDay = 86400;

struct CivilDate {
    int year = 1970;
    int month = 1;  // 1 to 12
    int day = 1;    // 1 to 31
};

std::int64_t daysFromCivil(const CivilDate& date);
CivilDate civilFromDays(std::int64_t days);

// The first "YYYY-MM-DD hh:mm:ss" in `text`, as seconds of the wall clock.
std::optional<std::int64_t> findDateTime(std::string_view text);

// Floor division and its remainder for negative seconds too.
inline std::int64_t dayOf(std::int64_t seconds) {
    return seconds >= 0 ? seconds / kSecondsPerDay : -((-seconds + kSecondsPerDay - 1) / kSecondsPerDay);
}
inline std::int64_t secondOfDay(std::int64_t seconds) {
    return seconds - dayOf(seconds) * kSecondsPerDay;
}

} // namespace chart
