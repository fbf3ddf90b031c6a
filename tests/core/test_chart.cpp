// The chart as a front end drives it: a file shown, the recording in
// progress followed, the view zoomed and panned, what it draws and says,
// and the readings in view exported.

#include "chart.h"
#include "language.h"
#include "scratch_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using chart::Chart;

namespace {

// A face of 7 pixels a character, 14 a line, and a locale of its own.
class FakeHost final : public chart::Host {
public:
    int textWidth(std::string_view utf8) const override {
        return 7 * int(std::count_if(utf8.begin(), utf8.end(), [](char c) { return (c & 0xC0) != 0x80; }));
    }
    int lineHeight() const override { return 14; }
    std::string timeText(int h, int m, int s, bool withSeconds) const override {
        char text[16];
        std::snprintf(text, sizeof text, withSeconds ? "%d:%02d:%02d" : "%d:%02d", h, m, s);
        return text;
    }
    std::string dateText(int y, int m, int d) const override {
        return std::to_string(d) + "." + std::to_string(m) + "." + std::to_string(y);
    }
    std::string decimalSeparator() const override { return ","; }
};

Chart::Clock::time_point at(int seconds) {
    return Chart::Clock::time_point(std::chrono::seconds(seconds));
}

std::vector<std::string> textsOf(const chart::DisplayList& list) {
    std::vector<std::string> texts;
    for (const chart::Text& t : list.texts)
        texts.push_back(t.utf8);
    return texts;
}

// Whether the texts drawn say `part`; a notice broken into lines is read
// whole, and so is a word broken over them.
bool says(const chart::DisplayList& list, const std::string& part) {
    std::string spaced, joined;
    for (const std::string& text : textsOf(list)) {
        spaced += text + " ";
        joined += text;
    }
    return spaced.find(part) != std::string::npos || joined.find(part) != std::string::npos;
}

} // namespace

TEST(Chart, ASavedLogIsDrawnWithItsStatisticsAndExportedAsItsReadingsInView) {
    ScratchDir dir;
    const std::string path = dir.file("database.txt");
    writeBytes(path,
               "20    23:59:58\r\n21    23:59:59\r\n25    00:00:00\r\n18    00:00:01\r\nnot a reading\r\n");
    FakeHost host;
    Chart chart(host);
    chart.showFile(path);
    EXPECT_TRUE(chart.update(at(0)));
    EXPECT_FALSE(chart.update(at(1)));
    chart.resize(800, 500, 96);
    const chart::DisplayList& list = chart.draw();
    EXPECT_EQ(chart.title(), "database.txt — Thermometer chart");
    EXPECT_TRUE(says(
        list, "minimum 18 °C at day 2 0:00:01, maximum 25 °C at day 2 0:00:00, mean 21,0 °C; readings: 4"))
        << ::testing::PrintToString(textsOf(list));
    EXPECT_TRUE(says(list, "Lines that are not readings: 1"));
    EXPECT_TRUE(says(list, "day 1") && says(list, "day 2"));  // the second row under the times
    ASSERT_EQ(list.runs.size(), 1u);
    EXPECT_EQ(list.marks.size(), 2u);
    for (const chart::Point& p : list.points)
        EXPECT_TRUE(p.x >= list.plot.x - 1 && p.x <= list.plot.x + list.plot.width);

    const std::string csv = dir.file("view.csv");
    EXPECT_FALSE(chart.exportCsv(csv));
    EXPECT_EQ(fileBytes(csv), "day,time,temperature\r\n1,23:59:58,20\r\n1,23:59:59,21\r\n2,00:00:00,25\r\n"
                              "2,00:00:01,18\r\n");
    EXPECT_EQ(chart.exportBaseName(), "database");
}

TEST(Chart, WheelDragKeysAndHomeMoveTheViewAndTheExportFollowsIt) {
    ScratchDir dir;
    const std::string path = dir.file("thermometer.journal");
    std::string journal = "# thermometer journal: recording since 2026-12-09 10:00:00\n";
    for (int s = 0; s < 3600; ++s)
        journal += std::to_string(20 + s / 600) + "    10:" + (s / 60 < 10 ? "0" : "") +
                   std::to_string(s / 60) + ":" + (s % 60 < 10 ? "0" : "") + std::to_string(s % 60) + "\n";
    writeBytes(path, journal);
    FakeHost host;
    Chart chart(host);
    chart.showFile(path);
    chart.update(at(0));
    chart.resize(1000, 600, 96);
    chart::Rect plot = chart.draw().plot;
    const int middle = plot.x + plot.width / 2, y = plot.y + plot.height / 2;

    // A drag over the plot's middle tenth zooms to it.
    chart.press(middle - plot.width / 20, y);
    chart.drag(middle + plot.width / 20, y);
    EXPECT_FALSE(chart.draw().rects.empty());
    chart.release(middle + plot.width / 20, y);
    const std::string csv = dir.file("zoomed.csv");
    chart.exportCsv(csv);
    std::string bytes = fileBytes(csv);
    EXPECT_EQ(bytes.substr(0, 33), "time,temperature\r\n2026-12-09 10:2");
    const auto rows = std::count(bytes.begin(), bytes.end(), '\n') - 1;
    EXPECT_NEAR(double(rows), 360, 4);

    chart.wheel(middle, y, 120 * 20);  // no narrower than a minute
    chart.draw();
    chart.exportCsv(csv);
    bytes = fileBytes(csv);
    EXPECT_NEAR(double(std::count(bytes.begin(), bytes.end(), '\n') - 1), 61, 1);
    chart.key(chart::Key::Later);
    chart.key(chart::Key::Whole);
    chart.exportCsv(csv);
    bytes = fileBytes(csv);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n') - 1, 3600);
}

TEST(Chart, TheRecordingInProgressIsFollowedFromTheNewestJournalUntilItEnds) {
    ScratchDir dir;
    FakeHost host;
    Chart chart(host);
    chart.followRecording(dir.path());
    chart.update(at(0));
    chart.resize(1600, 400, 96);
    EXPECT_TRUE(says(chart.draw(), "Nothing is recording"));

    const std::string demo = dir.file("thermometer-demo.journal"), real = dir.file("thermometer.journal");
    writeBytes(real, "# thermometer journal: recording since 2026-12-09 10:00:00\n20    10:00:00\n");
    std::filesystem::last_write_time(fromUtf8(real),
                                     std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    writeBytes(demo, "# thermometer journal: recording since 2026-12-09 11:00:00\n21    11:00:00\n");
    EXPECT_TRUE(chart.update(at(1)));
    EXPECT_TRUE(says(chart.draw(), "Recording: " + demo));

    std::string grown = fileBytes(demo) + "22    11:00:01\n";
    writeBytes(demo, grown);
    EXPECT_TRUE(chart.update(at(2)));
    EXPECT_TRUE(says(chart.draw(), "readings: 2"));
    EXPECT_TRUE(chart.update(at(20)));  // no new reading for a while
    EXPECT_TRUE(says(chart.draw(), "No new reading in " + demo + " since 11:00:01"));

    writeBytes(demo, "");  // "Выход"
    EXPECT_TRUE(chart.update(at(21)));
    std::filesystem::remove(fromUtf8(demo));
    chart.update(at(22));
    const chart::DisplayList& ended = chart.draw();
    EXPECT_TRUE(says(ended, "The recording has ended"));
    EXPECT_TRUE(says(ended, "readings: 2"));

    // The other journal, which had stopped, is followed once it grows.
    EXPECT_FALSE(chart.update(at(23)));
    writeBytes(real, fileBytes(real) + "20    10:00:01\n");
    EXPECT_TRUE(chart.update(at(24)));
    EXPECT_TRUE(says(chart.draw(), "Recording: " + real));
}

TEST(Chart, AQuietJournalGivesWayToTheOtherWhenThatOneGrows) {
    ScratchDir dir;
    FakeHost host;
    Chart chart(host);
    chart.resize(1600, 400, 96);
    const std::string demo = dir.file("thermometer-demo.journal"), real = dir.file("thermometer.journal");
    writeBytes(demo, "21    11:00:00\n");  // a demo killed an hour ago
    std::filesystem::last_write_time(fromUtf8(demo),
                                     std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    chart.followRecording(dir.path());
    chart.update(at(0));
    EXPECT_TRUE(says(chart.draw(), "Recording: " + demo));
    chart.update(at(10));
    writeBytes(real, "# thermometer journal: recording since 2026-12-09 12:00:00\n20    12:00:00\n");
    EXPECT_TRUE(chart.update(at(11)));
    EXPECT_TRUE(says(chart.draw(), "Recording: " + real));
}

TEST(Chart, AFileThatIsNoLogSaysSoWhereTheCurveWouldBe) {
    ScratchDir dir;
    FakeHost host;
    Chart chart(host);
    chart.resize(640, 400, 96);
    chart.showFile(dir.file("missing.txt"));
    chart.update(at(0));
    EXPECT_TRUE(says(chart.draw(), "The file could not be read. Error "));
    EXPECT_TRUE(says(chart.draw(), "missing.txt)"));
    EXPECT_FALSE(chart.hasReadingsInView());
    // A path longer than the notice is wide is shown whole, its name too.
    const std::string deep = std::string(150, 'd') + ".txt";
    chart.showFile(dir.file(deep));
    chart.update(at(1));
    EXPECT_TRUE(says(chart.draw(), deep + ")"));

    const std::string binary = dir.file("a.bin");
    writeBytes(binary, std::string(100, '\0'));
    chart.showFile(binary);
    chart.update(at(1));
    EXPECT_TRUE(says(chart.draw(), "is not a thermometer log: it is not text."));
    EXPECT_TRUE(chart.draw().runs.empty());
}
