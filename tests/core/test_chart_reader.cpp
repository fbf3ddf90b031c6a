// Reading logs and journals into the chart's series: the day rule of a
// saved log, a journal's dated lines, and files that are torn, foreign,
// binary, oversized, cut short, emptied, made anew or gone.

#include "civil_time.h"
#include "log_reader.h"
#include "scratch_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

using chart::LogReader;

namespace {

using Change = LogReader::Change;

std::string textOf(std::initializer_list<const char*> lines, const char* end = "\r\n") {
    std::string text;
    for (const char* line : lines)
        text.append(line).append(end);
    return text;
}

// Each reading as "day hh:mm:ss degrees", the day being the date where known.
std::vector<std::string> readings(const LogReader& reader) {
    std::vector<std::string> out;
    const chart::Series& series = reader.series();
    for (std::size_t i = 0; i < series.size(); ++i) {
        const std::int64_t wall = series.wallAt(i);
        const std::int64_t second = chart::secondOfDay(wall);
        char text[64];
        if (series.segmentOf(i).dated) {
            const chart::CivilDate date = chart::civilFromDays(chart::dayOf(wall));
            std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
        } else {
            std::snprintf(text, sizeof text, "day%d", int(chart::dayOf(wall)) + 1);
        }
        char line[96];
        std::snprintf(line, sizeof line, "%s %02d:%02d:%02d %d", text, int(second / 3600),
                      int(second / 60 % 60), int(second % 60), series.temperatureAt(i));
        out.push_back(line);
    }
    return out;
}

} // namespace

TEST(ChartReader, ASavedLogStartsANewDayOnlyWhereTheTimeGoesBackMoreThanTwelveHours) {
    ScratchDir dir;
    const std::string path = dir.file("database.txt");
    writeBytes(path, textOf({"20    23:59:59", "20    00:00:00",     // midnight
                             "21    02:59:59", "21    02:00:00",     // summer time ends: the same day
                             "22    14:00:00", "22    03:00:01",     // the clock put back eleven hours
                             "22    15:00:00", "23    02:00:00"}));  // back thirteen: the next day
    LogReader reader(path);
    EXPECT_EQ(reader.update(), Change::Added);
    EXPECT_EQ(readings(reader),
              (std::vector<std::string>{"day1 23:59:59 20", "day2 00:00:00 20", "day2 02:59:59 21",
                                        "day2 02:00:00 21", "day2 14:00:00 22", "day2 03:00:01 22",
                                        "day2 15:00:00 22", "day3 02:00:00 23"}));
    // The axis runs on where the clock went back, with a break there.
    const chart::Series& series = reader.series();
    for (std::size_t i = 1; i < series.size(); ++i)
        EXPECT_GT(series.axisAt(i), series.axisAt(i - 1));
    EXPECT_EQ(series.gapEnds(), (std::vector<std::uint32_t>{2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(series.segments().size(), 3u);
    EXPECT_EQ(reader.otherLines(), 0u);
    EXPECT_EQ(reader.update(), Change::None);
}

TEST(ChartReader, AJournalsDatedLinesGiveTheDatesAcrossMidnightAndARecoveredRecording) {
    ScratchDir dir;
    const std::string path = dir.file("thermometer.journal");
    writeBytes(path, textOf({"# thermometer journal: recording since 2026-12-09 23:59:58", "25    23:59:58",
                             // The clock passed midnight between the entry's time and the line.
                             "# thermometer journal: new day 2026-12-10 00:00:00", "25    23:59:59",
                             "24    00:00:00", "# thermometer journal: recording resumed 2026-12-12 08:00:01",
                             "20    08:00:00", "# a note without a date"},
                            "\n"));
    LogReader reader(path);
    reader.update();
    EXPECT_EQ(readings(reader),
              (std::vector<std::string>{"2026-12-09 23:59:58 25", "2026-12-09 23:59:59 25",
                                        "2026-12-10 00:00:00 24", "2026-12-12 08:00:00 20"}));
    EXPECT_EQ(reader.series().gapEnds(), (std::vector<std::uint32_t>{3}));
    EXPECT_EQ(reader.otherLines(), 0u);
}

TEST(ChartReader, ForeignLinesAreCountedAndUnreadableTimesToldOnce) {
    ScratchDir dir;
    const std::string path = dir.file("mixed.txt");
    writeBytes(path,
               textOf({"time;temperature", "25    14:03:07", "", "25    十四時三分七秒", "26    14:03:08",
                       "25    二時", "\xff\xfe garbage", "25   14:03:09", std::string(5000, 'x').c_str()}));
    LogReader reader(path);
    reader.update();
    EXPECT_EQ(reader.series().size(), 2u);
    EXPECT_EQ(reader.otherLines(), 4u);
    EXPECT_EQ(reader.unreadableTimes(), 2u);
    EXPECT_EQ(reader.unreadableExample(), "十四時三分七秒");
}

TEST(ChartReader, BinaryAndOversizedFilesAreRefusedAndNothingOfThemKept) {
    ScratchDir dir;
    const std::string binary = dir.file("picture.png");
    writeBytes(binary, std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + std::string(3000, '\x01'));
    LogReader refused(binary);
    refused.update();
    EXPECT_EQ(refused.refusal(), LogReader::Refusal::NotText);
    EXPECT_TRUE(refused.series().empty());

    const std::string large = dir.file("large.txt");
    writeBytes(large, "25    14:03:07\n");
    std::filesystem::resize_file(fromUtf8(large), LogReader::kSizeCap + 1);
    LogReader tooLarge(large);
    tooLarge.update();
    EXPECT_EQ(tooLarge.refusal(), LogReader::Refusal::TooLarge);
    EXPECT_TRUE(tooLarge.series().empty());

    // A journal after a power cut: NUL bytes where its last block was lost.
    const std::string cut = dir.file("thermometer.journal");
    writeBytes(cut, "25    14:03:07\n" + std::string(4096, '\0') + "\n26    14:03:09\n");
    LogReader journal(cut);
    journal.update();
    EXPECT_EQ(journal.refusal(), LogReader::Refusal::None);
    EXPECT_EQ(journal.series().size(), 2u);
}

TEST(ChartReader, ATornLineWaitsForItsEndAndAJournalIsFollowedThroughWhatBecomesOfIt) {
    ScratchDir dir;
    const std::string path = dir.file("thermometer.journal");
    writeBytes(path, "25    14:03:07\n25    14:0");
    LogReader reader(path);
    EXPECT_EQ(reader.update(), Change::Added);
    EXPECT_EQ(reader.series().size(), 1u);
    EXPECT_EQ(reader.update(), Change::None);
    // The next start of the thermometer cuts the torn line off and goes on.
    writeBytes(path, "25    14:03:07\n26    14:05:00\n");
    EXPECT_EQ(reader.update(), Change::Added);
    EXPECT_EQ(readings(reader).back(), "day1 14:05:00 26");
    // "Выход": emptied, then deleted; what was read stays.
    writeBytes(path, "");
    EXPECT_EQ(reader.update(), Change::Emptied);
    std::filesystem::remove(fromUtf8(path));
    EXPECT_EQ(reader.update(), Change::Gone);
    EXPECT_EQ(reader.series().size(), 2u);
    // A new recording under the same name is read from its start.
    writeBytes(path, "19    09:00:00\n");
    EXPECT_EQ(reader.update(), Change::Replaced);
    EXPECT_EQ(readings(reader), (std::vector<std::string>{"day1 09:00:00 19"}));
    // So is a file put in its place.
    const std::string other = dir.file("other");
    writeBytes(other, "18    10:00:00\n18    10:00:01\n");
    std::filesystem::rename(fromUtf8(other), fromUtf8(path));
    EXPECT_EQ(reader.update(), Change::Replaced);
    EXPECT_EQ(reader.series().size(), 2u);
}

TEST(ChartReader, AFileThatCannotBeReadIsAnErrorNamingIt) {
    ScratchDir dir;
    LogReader folder(dir.path());
    try {
        folder.update();
        ADD_FAILURE() << "a folder was read";
    } catch (const text::Error& error) {
        EXPECT_GT(error.number(), 0);
        EXPECT_EQ(error.subject(), dir.path());
    }
    LogReader missing(dir.file("missing.txt"));
    EXPECT_EQ(missing.update(), Change::None);
    EXPECT_FALSE(missing.exists());
}
