#pragma once
// One line of a thermometer log or journal, read.
//
// A reading: the temperature in whole degrees (an optional "-" and one to
// four ASCII digits), exactly four blanks, then the time of day as
// time_text.h accepts it; "25    14:03:07". A journal's lines starting
// with "#" are its own notes; one holding a date and time
// ("# thermometer journal: new day 2026-12-10 00:00:00") dates the readings
// after it.

#include "time_text.h"

#include <cstdint>
#include <string_view>

namespace chart {

struct LogLine {
    enum class Kind {
        Blank,     // empty, or blanks only
        Note,      // a journal's "#" line without a date
        DateMark,  // a journal's "#" line with one
        Reading,
        UnreadableTime,  // a temperature and four blanks, then no time this reads
        Other,           // anything else: not a reading
    };
    Kind kind = Kind::Other;
    int temperature = 0;
    TimeText time;
    std::int64_t dateTime = 0;  // DateMark: civil_time.h's seconds
};

// `line` is UTF-8, without its LF; a CR before it is passed over.
LogLine readLogLine(std::string_view line);

} // namespace chart
