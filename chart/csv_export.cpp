// The readings in view as CSV, for a spreadsheet: one reading a line, its
// time as a spreadsheet reads a date and time where the date is known.

#include "chart.h"

#include "chart_state.h"
#include "civil_time.h"
#include "replacement_file.h"

#include <cstdio>

namespace chart {
namespace {

std::string twoDigits(std::int64_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", int(value));
    return text;
}

std::string isoDate(std::int64_t wall) {
    const CivilDate date = civilFromDays(dayOf(wall));
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

std::string clockTime(std::int64_t wall) {
    const std::int64_t second = secondOfDay(wall);
    return twoDigits(second / 3600) + ":" + twoDigits(second / 60 % 60) + ":" + twoDigits(second % 60);
}

} // namespace

std::optional<text::Error> Chart::exportCsv(const std::string& path) const {
    const ChartState& s = *state_;
    std::size_t from = 0, to = 0;
    if (const Series* series = s.series()) {
        from = series->lowerBound(s.view.start());
        to = series->upperBound(s.view.end());
    }
    const Series* series = s.series();
    bool allDated = true;
    for (std::size_t k = 0; series && k < series->segments().size(); ++k)
        allDated = allDated && series->segments()[k].dated;

    logfile::ReplacementFile file(path);
    std::string block = allDated ? "time,temperature\r\n" : "day,time,temperature\r\n";
    for (std::size_t i = from; i < to; ++i) {
        const std::int64_t wall = series->wallAt(i);
        const bool dated = series->segmentOf(i).dated;
        if (allDated)
            block += isoDate(wall) + " " + clockTime(wall);
        else
            block += (dated ? isoDate(wall) : std::to_string(dayOf(wall) + 1)) + "," + clockTime(wall);
        block += "," + std::to_string(series->temperatureAt(i)) + "\r\n";
        if (block.size() >= 1 << 16) {
            if (!file.write(block))
                break;
            block.clear();
        }
    }
    if (file.write(block))
        file.commit();
    return file.error();
}

} // namespace chart
