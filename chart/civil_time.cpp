#include "civil_time.h"

namespace chart {

// Howard Hinnant's algorithms for the proleptic Gregorian calendar, with
// eras of 400 years starting on 1 March.
std::int64_t daysFromCivil(const CivilDate& date) {
    const std::int64_t year = date.year - (date.month <= 2 ? 1 : 0);
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (date.month + (date.month > 2 ? -3 : 9)) + 2) / 5 + date.day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

CivilDate civilFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    CivilDate date;
    date.day = int(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    date.month = int(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    date.year = int(yearOfEra + era * 400 + (date.month <= 2 ? 1 : 0));
    return date;
}

namespace {

bool digitsAt(std::string_view text, std::size_t at, std::size_t count, int& value) {
    value = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const char c = text[at + k];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

} // namespace

std::optional<std::int64_t> findDateTime(std::string_view text) {
    constexpr std::string_view kShape = "dddd-dd-dd dd:dd:dd";
    for (std::size_t at = 0; at + kShape.size() <= text.size(); ++at) {
        int year, month, day, hour, minute, second;
        if (!digitsAt(text, at, 4, year) || text[at + 4] != '-' || !digitsAt(text, at + 5, 2, month) ||
            text[at + 7] != '-' || !digitsAt(text, at + 8, 2, day) || text[at + 10] != ' ' ||
            !digitsAt(text, at + 11, 2, hour) || text[at + 13] != ':' ||
            !digitsAt(text, at + 14, 2, minute) || text[at + 16] != ':' ||
            !digitsAt(text, at + 17, 2, second))
            continue;
        if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60)
            continue;
        return daysFromCivil({year, month, day}) * kSecondsPerDay + hour * 3600 + minute * 60 + second;
    }
    return std::nullopt;
}

} // namespace chart
