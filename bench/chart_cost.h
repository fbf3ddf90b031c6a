#pragma once
// What both chart_cost programs share: a week's log written as "Выход"
// saves one, timings, and the report of each figure against its target.

#include "chart.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

namespace chartcost {

using Clock = std::chrono::steady_clock;
constexpr int kWeek = 7 * 86400;

// A room's temperature over `seconds` readings from midnight, whole degrees.
inline void writeLog(const std::string& path, int seconds, int from = 0) {
    std::ofstream out(path, std::ios::binary | (from ? std::ios::app : std::ios::trunc));
    char line[32];
    for (int s = from; s < from + seconds; ++s) {
        const double hours = s / 3600.0;
        const int degrees = int(std::lround(21 + 3 * std::sin((hours - 9) / 24 * 2 * std::numbers::pi) +
                                            0.4 * std::sin(s * 0.7)));
        const int tod = s % 86400;
        const int length = std::snprintf(line, sizeof line, "%d    %02d:%02d:%02d\r\n", degrees, tod / 3600,
                                         tod / 60 % 60, tod % 60);
        out.write(line, length);
    }
}

inline double millisecondsOf(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The median and the worst of `runs` timings.
inline std::pair<double, double> timings(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int k = 0; k < runs; ++k)
        times.push_back(millisecondsOf(work));
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

// Following: a line more appended to the week's log at `path`, then read
// and drawn; the median of 20.
inline double followingMedian(const std::string& path, const std::function<void()>& readAndDraw) {
    std::vector<double> follows;
    for (int k = 0; k < 20; ++k) {
        writeLog(path, 1, kWeek + k);
        follows.push_back(millisecondsOf(readAndDraw));
    }
    std::sort(follows.begin(), follows.end());
    return follows[follows.size() / 2];
}

struct Figures {
    bool met = true;
    void report(const char* what, double value, const char* unit, double target) {
        const bool ok = value <= target;
        met = met && ok;
        std::printf("%-58s %10.2f %-5s (target <= %g) %s\n", what, value, unit, target, ok ? "" : "MISSED");
    }
    void note(const char* what, double value, const char* unit) {
        std::printf("%-58s %10.2f %s\n", what, value, unit);
    }

    // `chart` (the week, at 1920 x 1080) redrawn, whole and zoomed in to an
    // hour and a quarter, and its layout alone.
    void reportRedraws(chart::Chart& chart, const std::function<void()>& redraw) {
        auto [median, worst] = timings(30, redraw);
        report("redraw at 1920 x 1080, the whole week (median)", median, "ms", 16);
        note("  the worst of 30", worst, "ms");
        note("  of which the core's layout (median)", timings(30, [&] { chart.draw(); }).first, "ms");
        for (int k = 0; k < 7; ++k)
            chart.key(chart::Key::ZoomIn);
        report("redraw at 1920 x 1080, an hour and a quarter (median)", timings(30, redraw).first, "ms", 16);
        chart.key(chart::Key::Whole);
    }
};

} // namespace chartcost
