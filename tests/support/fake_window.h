#pragma once
// Stand-ins for what surrounds Form1 in a program: a window that keeps what
// it is shown and told, a runtime with clocks the test sets and a chosen
// folder, and timers that tick when the test says.

#include "error.h"
#include "form1_view.h"
#include "runtime.h"

#include <cerrno>

#include <new>
#include <optional>
#include <string>
#include <vector>

// What the window shows of List1: a copy of each entry as it is told of it.
struct FakeList {
    std::vector<std::string> entries;
    bool full = false;  // can show no more entries
};

class FakeWindow final : public app::Form1View {
public:
    std::string Label1, Label3;
    bool Check1 = false;
    std::string Text1 = "database";
    FakeList list;
    std::vector<std::string> problems;
    std::vector<std::string> fatalReports;
    std::optional<int> endStatus;
    // What the window throws when it can show no more entries.
    static text::Error listFullError() { return text::Error::system(ENOMEM, "List1"); }
    bool closed = false;

    void setLabel1Caption(std::string_view text) override { Label1 = text; }
    bool outOfMemory = false;  // the next caption fails as memory ran out
    void setLabel3Caption(std::string_view text) override {
        if (outOfMemory)
            throw std::bad_alloc();
        Label3 = text;
    }
    bool check1Ticked() const override { return Check1; }
    std::string text1Text() const override { return Text1; }
    void list1Grew(const app::RecordedList& list1, std::int32_t first) override {
        if (full())
            throw listFullError();
        for (std::int32_t i = first; i < list1.ListCount(); ++i)
            list.entries.emplace_back(list1.List(i));
    }
    bool full() const { return list.full; }
    void reportProblem(const std::string& text) override { problems.push_back(text); }
    void endWithReport(const std::string& report, int status) noexcept override {
        fatalReports.push_back(report);
        endStatus = status;
    }
    void closeWindow() override { closed = true; }
};

class FakeTimer final : public app::Timer {
public:
    FakeTimer(std::chrono::milliseconds interval, std::function<void()> onTick)
        : interval_(interval), onTick_(std::move(onTick)) {}
    void start() override { active_ = true; }
    void stop() override { active_ = false; }
    bool isActive() const { return active_; }
    std::chrono::milliseconds interval() const { return interval_; }
    // One tick as the event loop delivers it: only while the timer runs.
    void tick() {
        if (active_)
            onTick_();
    }

private:
    std::chrono::milliseconds interval_;
    std::function<void()> onTick_;
    bool active_ = false;
};

class FakeRuntime final : public app::Runtime {
public:
    std::string directory;
    std::string clock = "14:03:07";
    std::chrono::steady_clock::time_point now{};
    measure::NumberFormat format;
    // The OS refuses the timer with this index (0: Timer1, 1: Timer2).
    std::optional<int> refuseTimer;
    static text::Error timerRefusedError() { return text::Error::system(EMFILE, "timerfd_create"); }

    std::string programDirectory() const override { return directory; }
    std::string programName() const override { return "thermometer"; }
    // Every change keepSystemAwake was asked for, in order.
    std::vector<bool> awakeRequests;
    void keepSystemAwake(bool awake) noexcept override { awakeRequests.push_back(awake); }
    // Every line announced on standard output, in order.
    std::vector<std::string> announced;
    void announce(const std::string& line) noexcept override { announced.push_back(line); }
    std::string timeOfDayText() const override { return clock; }
    std::chrono::steady_clock::time_point monotonicNow() const override { return now; }
    measure::NumberFormat numberFormat() const override { return format; }
    // The timers made, in order (Timer1, Timer2); Form1 owns them.
    std::vector<FakeTimer*> timers;
    std::unique_ptr<app::Timer> makeTimer(std::chrono::milliseconds interval,
                                          std::function<void()> onTick) override {
        if (refuseTimer == int(timers.size()))
            throw timerRefusedError();
        auto timer = std::make_unique<FakeTimer>(interval, std::move(onTick));
        timers.push_back(timer.get());
        return timer;
    }
};
