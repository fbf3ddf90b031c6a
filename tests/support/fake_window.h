#pragma once
// Stand-ins for what surrounds Form1 in a program: a window that keeps what
// it is shown and told, a runtime with clocks the test sets and a chosen folder,
// and timers that only record whether they run (tests deliver the ticks).

#include "form1_view.h"
#include "runtime.h"

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
    void listGrew(const app::RecordedList& list1, std::int32_t first) override {
        if (full())
            throw app::ServiceError(8, "Not enough memory", "List1");
        for (std::int32_t i = first; i < list1.ListCount(); ++i)
            list.entries.emplace_back(list1.List(i));
    }
    bool full() const { return list.full; }
    void reportProblem(const std::string& text) override { problems.push_back(text); }
    void reportFatal(const std::string& report) override { fatalReports.push_back(report); }
    void closeWindow() override { closed = true; }
    void endProgram(int status) override { endStatus = status; }
};

class FakeTimer final : public app::Timer {
public:
    explicit FakeTimer(std::chrono::milliseconds interval) : interval_(interval) {}
    void start() override { active_ = true; }
    void stop() override { active_ = false; }
    bool isActive() const override { return active_; }
    std::chrono::milliseconds interval() const override { return interval_; }

private:
    std::chrono::milliseconds interval_;
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

    std::string programDirectory() const override { return directory; }
    std::string programName() const override { return "thermometer"; }
    // Every change keepSystemAwake was asked for, in order.
    std::vector<bool> awakeRequests;
    void keepSystemAwake(bool awake) noexcept override { awakeRequests.push_back(awake); }
    std::string timeOfDayText() const override { return clock; }
    std::chrono::steady_clock::time_point monotonicNow() const override { return now; }
    measure::NumberFormat numberFormat() const override { return format; }
    std::unique_ptr<app::Timer> makeTimer(std::chrono::milliseconds interval,
                                          std::function<void()>) override {
        if (refuseTimer == timersMade_++)
            throw app::ServiceError(24, "Too many open files", "timerfd_create");
        return std::make_unique<FakeTimer>(interval);
    }

private:
    int timersMade_ = 0;
};
