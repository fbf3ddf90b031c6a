// chart_cost: what a week of readings costs thermometer-chart. Writes a
// week's log (604 800 lines, one reading a second, as "Выход" saves them)
// into a scratch folder and measures
//   - opening it: the file read, parsed and placed (target < 0.5 s);
//   - a redraw at 1920 x 1080: the core's layout and QPainter into an image,
//     the whole week and a zoomed hour in view, and a day's log for
//     comparison: the cost follows the pixels (target < 16 ms);
//   - the resident memory per reading, opened at once and followed while
//     it grows a day at a time, so with the series' growth (target <= 16 B);
//   - following: one new line read and the picture drawn again.
// Exits 1 when a target is missed. Run it on an idle machine:
//   QT_QPA_PLATFORM=offscreen build/bench/chart_cost

#include "chart.h"
#include "chart_cost.h"
#include "display_list_painter.h"
#include "qt_chart_host.h"

#include <QApplication>
#include <QPalette>
#include <QProcess>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using chartcost::Clock;
using chartcost::kWeek;
using chartcost::millisecondsOf;
using chartcost::timings;
using chartcost::writeLog;

long residentBytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * ::sysconf(_SC_PAGESIZE);
}

// Answers nothing: only the reading is measured in the memory runs.
class NoHost final : public chart::Host {
public:
    int textWidth(std::string_view) const override { return 0; }
    int lineHeight() const override { return 1; }
    std::string timeText(int, int, int, bool) const override { return {}; }
    std::string dateText(int, int, int) const override { return {}; }
    std::string decimalSeparator() const override { return "."; }
};

// In a process of its own, so that no memory freed before is reused: the
// resident bytes per reading of `path` opened at once, or followed while a
// week is appended to it a day at a time.
int measureMemory(const std::string& path, bool growing) {
    NoHost host;
    if (growing)
        writeLog(path, 600);
    const long before = residentBytes();
    chart::Chart chart(host);
    chart.showFile(path);
    chart.update(Clock::now());
    for (int from = 600; growing && from < kWeek; from += 86400) {
        writeLog(path, std::min(86400, kWeek - from), from);
        chart.update(Clock::now());
    }
    std::printf("%.3f\n", double(residentBytes() - before) / kWeek);
    return 0;
}

double memoryPerReading(const std::string& path, bool growing) {
    QProcess run;
    run.start(QCoreApplication::applicationFilePath(),
              {growing ? "--memory-growing" : "--memory", QString::fromStdString(path)});
    run.waitForFinished(120000);
    return run.readAllStandardOutput().trimmed().toDouble();
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && (std::string(argv[1]) == "--memory" || std::string(argv[1]) == "--memory-growing"))
        return measureMemory(argv[2], std::string(argv[1]) == "--memory-growing");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("chart_cost." + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string week = (folder / "week.txt").string(), day = (folder / "day.txt").string();
    const std::string growing = (folder / "growing.txt").string();
    writeLog(week, kWeek);
    writeLog(day, 86400);
    std::printf("a week's log: %d lines, %.1f MB\n\n", kWeek, std::filesystem::file_size(week) / 1e6);

    qtchart::QtChartHost host;
    host.setDpi(96);
    const QPalette palette = QApplication::palette();
    chartcost::Figures figures;
    {
        // Fonts, locale and the first allocations, out of the way.
        chart::Chart warm(host);
        warm.showFile(day);
        warm.update(Clock::now());
        warm.resize(1920, 1080, 96);
        qtchart::pictureOf(warm.draw(), host.font(), palette);
    }

    figures.report("resident memory per reading, opened at once", memoryPerReading(week, false), "bytes", 16);
    figures.report("resident memory per reading, grown a day at a time", memoryPerReading(growing, true), "bytes",
                   16);
    chart::Chart chart(host);
    chart.showFile(week);
    figures.report("open the week's log", millisecondsOf([&] { chart.update(Clock::now()); }) / 1000, "s", 0.5);

    chart.resize(1920, 1080, 96);
    const auto redraw = [&] { qtchart::pictureOf(chart.draw(), host.font(), palette); };
    figures.reportRedraws(chart, redraw);

    chart::Chart dayChart(host);
    dayChart.showFile(day);
    dayChart.update(Clock::now());
    dayChart.resize(1920, 1080, 96);
    figures.note("redraw at 1920 x 1080, a day's log (median)",
                 timings(30, [&] { qtchart::pictureOf(dayChart.draw(), host.font(), palette); }).first, "ms");
    dayChart.resize(960, 1080, 96);
    figures.note("  the core's layout of the day at 960 wide (median)", timings(30, [&] { dayChart.draw(); }).first,
                 "ms");
    chart.resize(960, 1080, 96);
    figures.note("  the core's layout of the week at 960 wide (median)", timings(30, [&] { chart.draw(); }).first,
                 "ms");
    chart.resize(1920, 1080, 96);

    const double following = chartcost::followingMedian(week, [&] {
        chart.update(Clock::now());
        redraw();
    });
    figures.report("a new reading read and drawn, a week in view (median)", following, "ms", 16);

    std::filesystem::remove_all(folder);
    std::printf("\n%s\n", figures.met ? "all targets met" : "a target was missed");
    return figures.met ? 0 : 1;
}
