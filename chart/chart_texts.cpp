#include "chart_texts.h"

#include "civil_time.h"
#include "message.h"
#include "unicode_text.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace chart {

using text::MessageId;
using text::render;

namespace {

constexpr int kCapMegabytes = int(LogReader::kSizeCap >> 20);

const std::string& shownPath(const ChartState& state) {
    static const std::string none;
    return state.reader ? state.reader->path() : none;
}

} // namespace

std::string dayText(const Host& host, std::int64_t wall, bool dated) {
    const std::int64_t day = dayOf(wall);
    if (!dated)
        return render(MessageId::ChartDay, {std::to_string(day + 1)});
    const CivilDate date = civilFromDays(day);
    return host.dateText(date.year, date.month, date.day);
}

std::string wallText(const Host& host, std::int64_t wall, bool dated, bool withSeconds, bool withDay) {
    const std::int64_t second = secondOfDay(wall);
    std::string time =
        host.timeText(int(second / 3600), int(second / 60 % 60), int(second % 60), withSeconds);
    if (!withDay)
        return time;
    return render(MessageId::ChartDayAndTime, {dayText(host, wall, dated), time});
}

std::string degreesText(int degrees) {
    return render(MessageId::ChartDegrees, {std::to_string(degrees)});
}

std::string meanText(const Host& host, double degrees) {
    const long long tenths = std::llround(degrees * 10);
    std::string number = tenths < 0 ? "-" : "";
    number += std::to_string(std::llabs(tenths) / 10) + host.decimalSeparator() +
              std::to_string(std::llabs(tenths) % 10);
    return render(MessageId::ChartDegrees, {number});
}

std::optional<std::string> noticeText(const ChartState& state) {
    if (state.source == ChartState::Source::Recording && !state.reader)
        return render(MessageId::ChartNothingRecording, {state.folder});
    if (!state.reader || state.hasReadings())
        return std::nullopt;
    const std::string& path = shownPath(state);
    if (state.readError)
        return render(MessageId::ChartReadFailed, {text::reportLine(*state.readError)});
    switch (state.reader->refusal()) {
    case LogReader::Refusal::NotText:
        return render(MessageId::ChartNotText, {path});
    case LogReader::Refusal::TooLarge:
        return render(MessageId::ChartTooLarge, {path, std::to_string(kCapMegabytes)});
    case LogReader::Refusal::None:
        break;
    }
    if (!state.reader->exists() && state.life == ChartState::Life::Reading)
        return render(MessageId::ChartReadFailed, {text::reportLine(text::Error::system(ENOENT, path))});
    if (state.life != ChartState::Life::Reading)
        return std::nullopt;  // the status says it ended
    return render(MessageId::ChartNoReadings, {path});
}

std::string statusText(const ChartState& state) {
    const std::string& path = shownPath(state);
    if (!state.reader)
        return {};
    if (state.readError && state.hasReadings())
        return render(MessageId::ChartReadFailed, {text::reportLine(*state.readError)});
    const bool recording = state.source == ChartState::Source::Recording;
    if (state.life != ChartState::Life::Reading)
        return render(recording ? MessageId::ChartRecordingEnded : MessageId::ChartFileGone, {path});
    if (!recording)
        return path;
    if (state.quiet && state.hasReadings()) {
        const Series& series = state.reader->series();
        const std::size_t last = series.size() - 1;
        return render(
            MessageId::ChartRecordingQuiet,
            {path, wallText(state.host, series.wallAt(last), series.segmentOf(last).dated, true, false)});
    }
    return render(MessageId::ChartRecording, {path});
}

std::vector<std::string> noteTexts(const ChartState& state) {
    std::vector<std::string> notes;
    if (!state.reader)
        return notes;
    const LogReader& reader = *state.reader;
    if (reader.stoppedAtCap())
        notes.push_back(render(MessageId::ChartCapReached, {reader.path(), std::to_string(kCapMegabytes)}));
    if (reader.otherLines() > 0)
        notes.push_back(render(MessageId::ChartOtherLines, {std::to_string(reader.otherLines())}));
    if (reader.unreadableTimes() > 0)
        notes.push_back(render(MessageId::ChartUnreadableTimes,
                               {std::to_string(reader.unreadableTimes()), reader.unreadableExample()}));
    if (reader.series().empty())
        return notes;
    switch (reader.timeline().clock()) {
    case Timeline::Clock::TwelveHourTwoMarkers: {
        std::string morning = reader.timeline().guessedMorning();
        for (char& c : morning)
            if (c == '\x1f')
                c = ' ';
        notes.push_back(render(MessageId::ChartTwoMarkers, {std::string(trimBlanks(morning))}));
        break;
    }
    case Timeline::Clock::TwelveHourNoMarker:
        notes.push_back(render(MessageId::ChartNoMarker));
        break;
    case Timeline::Clock::TwentyFourHour:
        break;
    }
    return notes;
}

std::string statisticsText(const ChartState& state, std::size_t from, std::size_t to) {
    if (from >= to)
        return render(MessageId::ChartNoReadingsInView);
    const Series& series = *state.series();
    const ExtremesTree::Summary summary = series.summarize(from, to);
    // The day goes with the times where the view holds more than one.
    const bool severalDays = dayOf(series.wallAt(from)) != dayOf(series.wallAt(to - 1)) ||
                             series.segmentOf(from).wallMinusAxis != series.segmentOf(to - 1).wallMinusAxis;
    const auto when = [&](int extreme) {
        const std::size_t at = series.findExtreme(from, to, extreme);
        return wallText(state.host, series.wallAt(at), series.segmentOf(at).dated, true, severalDays);
    };
    return render(MessageId::ChartStatistics,
                  {degreesText(summary.min), when(summary.min), degreesText(summary.max), when(summary.max),
                   meanText(state.host, double(summary.sum) / double(summary.count)),
                   std::to_string(summary.count)});
}

} // namespace chart
