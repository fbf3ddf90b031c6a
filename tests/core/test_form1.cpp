// Form1's handlers on the recording port and a fake window: start-up,
// sampling, recording, the keep-alive, the exit button and errors.

#include "form1_bench.h"
#include "replacement_file.h"

#include <gtest/gtest.h>

#include <algorithm>

using app::Form1;
using text::reportLine;

TEST(Form1, LoadingStartsBothTimersAndOpensThePortWithItsFourCalls) {
    Bench b;
    ASSERT_TRUE(b.form->load());
    EXPECT_EQ(b.line->calls, (std::vector<std::string>{"Settings 1200,N,8,1", "CommPort 1",
                                                       "PortOpen 1", "DTR 1"}));
    ASSERT_EQ(b.runtime.timers.size(), 2u);
    FakeTimer& timer1 = *b.runtime.timers[0];
    FakeTimer& timer2 = *b.runtime.timers[1];
    EXPECT_TRUE(timer1.isActive() && timer2.isActive());
    EXPECT_EQ(timer1.interval(), std::chrono::milliseconds(1000));
    EXPECT_EQ(timer2.interval(), std::chrono::milliseconds(1));
    EXPECT_TRUE(b.window.fatalReports.empty());

    // Timer2 runs the keep-alive, Timer1 begins a read (a look at DCD
    // before the select).
    b.line->calls.clear();
    timer2.tick();
    EXPECT_EQ(b.line->calls, std::vector<std::string>{"Output 2"});
    timer1.tick();
    EXPECT_EQ(b.line->calls, (std::vector<std::string>{"Output 2", "DCD?"}));
}

TEST(Form1, AFailedOpenEndsTheProgramBeforeTheWindowShows) {
    Bench b;
    b.line->failAtCall(2, ENOENT);
    EXPECT_FALSE(b.form->load());
    EXPECT_FALSE(b.timersRunning());
    EXPECT_EQ(b.window.fatalReports, std::vector<std::string>{reportLine(RecordingLine::errorOf(ENOENT))});
    EXPECT_EQ(b.window.endStatus, Form1::kFatalExitStatus);
    EXPECT_EQ(b.line->calls.size(), 3u);  // DTR is never touched
    EXPECT_TRUE(b.dir.fileNames().empty());
}

TEST(Form1, ATimerTheOSRefusesEndsTheProgramLikeAPortError) {
    Bench b;
    b.runtime.refuseTimer = 1;
    EXPECT_FALSE(b.form->load());
    EXPECT_EQ(b.window.fatalReports, std::vector<std::string>{reportLine(FakeRuntime::timerRefusedError())});
    EXPECT_EQ(b.window.endStatus, Form1::kFatalExitStatus);
    EXPECT_FALSE(b.timersRunning());
    EXPECT_TRUE(b.line->calls.empty());  // the port is never opened
}

TEST(Form1, ASampleFillsBothLabels) {
    Bench b;
    b.load();
    EXPECT_TRUE(b.window.Label1.empty() && b.window.Label3.empty());
    b.sample(600);
    EXPECT_EQ(b.edges().size(), 22u);
    EXPECT_EQ(b.window.Label1, "2.98 Вольт");
    EXPECT_EQ(b.window.Label3, "25 *C");
}

TEST(Form1, TheLabelsFollowTheUsersSeparator) {
    Bench b(measure::NumberFormat{","});
    b.load();
    b.sample(600);
    EXPECT_EQ(b.window.Label1, "2,98 Вольт");
}

TEST(Form1, RecordingAppendsOneEntryPerTickOnlyWhileTicked) {
    Bench b;
    b.load();
    b.sample(600);
    EXPECT_TRUE(b.window.list.entries.empty());
    b.window.Check1 = true;
    for (int tick = 0; tick < 10; ++tick) {
        b.runtime.clock = "14:03:0" + std::to_string(tick);
        b.sample(tick < 5 ? 600 : 537);
    }
    ASSERT_EQ(b.window.list.entries.size(), 10u);
    EXPECT_EQ(b.window.list.entries[0], "25    14:03:00");
    EXPECT_EQ(b.window.list.entries[9], "-6    14:03:09");
    b.window.Check1 = false;
    b.sample(600);
    EXPECT_EQ(b.window.list.entries.size(), 10u);
}

TEST(Form1, EachKeepAliveTickWritesTwoZeroBytes) {
    Bench b;
    b.load();
    for (int tick = 0; tick < 3; ++tick)
        b.form->deliver(&Form1::OnKeepAliveTimer);
    EXPECT_EQ(b.line->calls, (std::vector<std::string>(3, "Output 2")));
    EXPECT_EQ(b.line->output, std::string(6, '\0'));
}

TEST(Form1, ATickDuringAReadIsSkippedAndAReadLeftUnfinishedYieldsNothing) {
    Bench b;
    b.load();
    b.window.Check1 = true;
    b.line->code = 600;
    b.form->deliver(&Form1::OnSampleTimer);
    for (int tick = 0; tick < 100; ++tick) {
        b.runtime.now += std::chrono::milliseconds(1);
        b.form->deliver(&Form1::OnKeepAliveTimer);
    }
    b.form->deliver(&Form1::OnSampleTimer);  // a late Timer1 tick: skipped
    EXPECT_EQ(std::count(b.line->calls.begin(), b.line->calls.end(), "DTR 0"), 1);
    EXPECT_TRUE(b.window.Label3.empty());

    b.form->deliver(&Form1::OnExitClick);  // mid-read
    b.form->windowClosing();
    EXPECT_EQ(fileBytes(b.dir.file("database.txt")), "");
    for (int tick = 0; tick < 300; ++tick) {  // ticks still queued
        b.runtime.now += std::chrono::milliseconds(1);
        b.form->deliver(&Form1::OnKeepAliveTimer);
    }
    EXPECT_TRUE(b.window.Label3.empty() && b.window.list.entries.empty());
}

TEST(Form1, APortErrorWhileSamplingEndsTheProgramOnce) {
    Bench b;
    b.load();
    b.line->failAtCall(7);
    EXPECT_FALSE(b.sample(600));
    EXPECT_FALSE(b.timersRunning());
    EXPECT_EQ(b.window.fatalReports, std::vector<std::string>{reportLine(RecordingLine::errorOf(EIO))});
    EXPECT_EQ(b.window.endStatus, Form1::kFatalExitStatus);
    // Whatever is still queued finds the program ended.
    const std::size_t callsAtEnd = b.line->calls.size();
    EXPECT_FALSE(b.form->deliver(&Form1::OnKeepAliveTimer));
    EXPECT_FALSE(b.form->deliver(&Form1::OnSampleTimer));
    EXPECT_EQ(b.line->calls.size(), callsAtEnd);
    EXPECT_EQ(b.window.fatalReports.size(), 1u);
    EXPECT_TRUE(b.dir.fileNames().empty());  // nothing recorded, nothing written
}

TEST(Form1, APortErrorSavesWhatWasRecordedAndSaysWhere) {
    Bench b;
    b.load();
    b.window.Check1 = true;
    b.sample(600);
    b.sample(537);
    b.line->failAtCall(b.line->calls.size());
    EXPECT_FALSE(b.form->deliver(&Form1::OnKeepAliveTimer));
    const std::string file = b.dir.file("database.txt");
    EXPECT_EQ(fileBytes(file), "25    14:03:07\r\n-6    14:03:07\r\n");
    ASSERT_EQ(b.window.fatalReports.size(), 1u);
    EXPECT_EQ(b.window.fatalReports[0], reportLine(RecordingLine::errorOf(EIO)) +
                                            "\nThe recorded readings (2) were saved to " + file + ".");
}

TEST(Form1, AWindowThatCanShowNoMoreEntriesEndsTheProgramAfterSavingThem) {
    Bench b;
    b.load();
    b.window.Check1 = true;
    b.sample(600);
    b.window.list.full = true;
    EXPECT_FALSE(b.sample(600));
    EXPECT_FALSE(b.timersRunning());
    // List1 took the second entry; only the window could not show it.
    EXPECT_EQ(fileBytes(b.dir.file("database.txt")), "25    14:03:07\r\n25    14:03:07\r\n");
    ASSERT_EQ(b.window.fatalReports.size(), 1u);
    EXPECT_EQ(b.window.fatalReports[0].rfind(reportLine(FakeWindow::listFullError()) + "\n", 0), 0u);
    EXPECT_EQ(b.window.endStatus, Form1::kFatalExitStatus);
}

TEST(Form1, APortErrorSaysWhyRecordedReadingsCouldNotBeSaved) {
    Bench b;
    b.load();
    b.window.Check1 = true;
    b.sample(600);
    b.window.Text1 = "missing/dir";
    b.line->failAtCall(b.line->calls.size());
    EXPECT_FALSE(b.form->deliver(&Form1::OnSampleTimer));
    ASSERT_EQ(b.window.fatalReports.size(), 1u);
    const std::string& report = b.window.fatalReports[0];
    EXPECT_NE(report.find(b.dir.path() + logfile::kPathSeparator + "missing/dir.txt"), std::string::npos);
    EXPECT_NE(report.find("lost"), std::string::npos);
}

TEST(Form1, TheExitButtonSavesTheListAndCloses) {
    Bench b;
    b.load();
    b.window.Check1 = true;
    for (int tick = 0; tick < 3; ++tick)
        b.sample(600);
    b.form->deliver(&Form1::OnExitClick);
    EXPECT_EQ(fileBytes(b.dir.file("database.txt")),
              "25    14:03:07\r\n25    14:03:07\r\n25    14:03:07\r\n");
    EXPECT_TRUE(b.window.closed);
    EXPECT_TRUE(b.window.problems.empty());
}

TEST(Form1, AFailedSaveKeepsEverythingForASecondTry) {
    Bench b;
    b.load();
    b.window.Check1 = true;
    b.sample(600);
    b.sample(700);
    b.window.Text1 = "no such folder/log";
    b.form->deliver(&Form1::OnExitClick);
    ASSERT_EQ(b.window.problems.size(), 1u);
    EXPECT_NE(b.window.problems[0].find("no such folder/log.txt"), std::string::npos);
    EXPECT_FALSE(b.window.closed);
    EXPECT_TRUE(b.timersRunning());
    EXPECT_EQ(b.window.list.entries.size(), 2u);
    EXPECT_TRUE(b.window.fatalReports.empty());

    b.sample(550);
    b.window.Text1 = "log";
    b.form->deliver(&Form1::OnExitClick);
    EXPECT_EQ(fileBytes(b.dir.file("log.txt")), "25    14:03:07\r\n74    14:03:07\r\n0    14:03:07\r\n");
    EXPECT_TRUE(b.window.closed);
}

TEST(Form1, ClosingTheWindowStopsTheTimersAndWritesNothing) {
    Bench b;
    b.load();
    b.window.Check1 = true;
    b.sample(600);
    b.form->windowClosing();
    EXPECT_FALSE(b.timersRunning());
    EXPECT_TRUE(b.dir.fileNames().empty());
}
