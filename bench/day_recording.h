#pragma once
// A day's recording through a real window: 86 400 readings recorded one a
// second, as the timers deliver them (Timer1's tick, then the keep-alive
// ticks that carry the read), then "Выход". Measures the memory the list
// costs per entry, window included, and how long the exit button's save
// takes. Each front end has a bench-only program around it.

#include "file_names.h"
#include "form1.h"
#include "save_list.h"
#include "stepped_clock_runtime.h"

#include <chrono>
#include <cstdio>
#include <functional>

struct DayFigures {
    int entries = 0;
    double bytesPerEntry = 0;
    double saveMs = 0;
    double exitMs = 0;  // the whole click: the save again, and the window closing
    bool saved = false;
};

inline constexpr int kDayEntries = 86'400;  // a day at one reading a second
inline constexpr double kMaxBytesPerEntry = 200;
inline constexpr double kMaxSaveMs = 1000;

// pump: lets the window catch up (lays out, paints) now and then, as the
// event loop would between ticks; memoryBytes: the process's own figure.
inline DayFigures recordADay(app::Form1& form, SteppedClockRuntime& runtime,
                             const std::function<void()>& pump,
                             const std::function<double()>& memoryBytes, int entries = kDayEntries) {
    using std::chrono::milliseconds;
    DayFigures day;
    pump();
    const double before = memoryBytes();
    for (int second = 0; second < entries; ++second) {
        form.deliver(&app::Form1::OnSampleTimer);
        for (int tick = 0; tick < 300; ++tick) {
            runtime.now += milliseconds(1);
            form.deliver(&app::Form1::OnKeepAliveTimer);
        }
        runtime.now += milliseconds(700);
        if (second % 1000 == 999)
            pump();
    }
    pump();
    day.entries = form.List1().ListCount();
    day.bytesPerEntry = (memoryBytes() - before) / day.entries;
    // The exit button's save alone; the window's closing after it is the
    // toolkit's, not the save's.
    const auto start = std::chrono::steady_clock::now();
    const auto error = logfile::SaveList(logfile::logFileName(runtime.programDirectory(), "database"), form.List1());
    day.saveMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    day.saved = !error;
    const auto click = std::chrono::steady_clock::now();
    form.deliver(&app::Form1::OnExitClick);
    day.exitMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - click).count();
    return day;
}

// One line of figures; the exit status says whether the targets were met.
inline int reportDay(const DayFigures& day, bool saved, int entries = kDayEntries) {
    saved = saved && day.saved;
    const bool ok = saved && day.entries == entries && day.bytesPerEntry <= kMaxBytesPerEntry &&
                    day.saveMs <= kMaxSaveMs;
    std::printf("day-recording entries=%d bytes_per_entry=%.1f save_ms=%.1f exit_click_ms=%.1f saved=%d %s\n",
                day.entries, day.bytesPerEntry, day.saveMs, day.exitMs, saved ? 1 : 0, ok ? "ok" : "MISS");
    return ok ? 0 : 1;
}
