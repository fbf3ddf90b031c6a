#pragma once
// The chart's words and numbers: times and dates in the user's locale,
// degrees, and what the chart says about the file it shows. Every sentence
// comes from the message catalogue.

#include "chart_state.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace chart {

// The day of a wall clock time: its date where known, else "day 3".
std::string dayText(const Host& host, std::int64_t wall, bool dated);
// Its time of day, with the day before it on request.
std::string wallText(const Host& host, std::int64_t wall, bool dated, bool withSeconds, bool withDay);
std::string degreesText(int degrees);
// One decimal, in the user's locale: "21.4 °C" or "21,4 °C".
std::string meanText(const Host& host, double degrees);

// What stands in place of the curve when there is none: nothing
// recording, a file that cannot be read or is no log.
std::optional<std::string> noticeText(const ChartState& state);
// The line that says what is shown and what became of it.
std::string statusText(const ChartState& state);
// What the file held that is not drawn, and guesses made in reading it.
std::vector<std::string> noteTexts(const ChartState& state);
// The minimum, maximum and mean of readings [from, to), with their times.
std::string statisticsText(const ChartState& state, std::size_t from, std::size_t to);

} // namespace chart
