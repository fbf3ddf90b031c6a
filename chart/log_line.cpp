#include "log_line.h"

#include "civil_time.h"
#include "unicode_text.h"

namespace chart {

LogLine readLogLine(std::string_view line) {
    LogLine read;
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    if (trimBlanks(line).empty()) {
        read.kind = LogLine::Kind::Blank;
        return read;
    }
    if (line.front() == '#') {
        const auto dateTime = findDateTime(line);
        read.kind = dateTime ? LogLine::Kind::DateMark : LogLine::Kind::Note;
        read.dateTime = dateTime.value_or(0);
        return read;
    }
    std::size_t at = line.front() == '-' ? 1 : 0;
    const std::size_t digitsFrom = at;
    int degrees = 0;
    while (at < line.size() && line[at] >= '0' && line[at] <= '9' && at - digitsFrom < 4)
        degrees = degrees * 10 + (line[at++] - '0');
    if (at == digitsFrom || line.substr(at, 4) != "    " || at + 4 == line.size())
        return read;
    read.temperature = line.front() == '-' ? -degrees : degrees;
    auto time = parseTimeText(line.substr(at + 4));
    if (!time) {
        read.kind = LogLine::Kind::UnreadableTime;
        return read;
    }
    read.kind = LogLine::Kind::Reading;
    read.time = std::move(*time);
    return read;
}

} // namespace chart
