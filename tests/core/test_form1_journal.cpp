// Form1 and the journal: a recording outliving a kill, the close box and
// the end of the session, the fatal path's last resort, a folder that takes
// no journal, and the computer kept awake while recording.

#include "form1_bench.h"

#include <gtest/gtest.h>

using app::Form1;

TEST(Form1, ARecordingSurvivesAKillAndTheNextStartRecoversIt) {
    ScratchDir dir;
    {
        Bench killed(dir.path());
        killed.load();
        killed.form->startJournal();
        killed.window.Check1 = true;
        killed.sample(600);
        killed.sample(537);
        EXPECT_EQ(dir.fileNames(), std::vector<std::string>{"thermometer.journal"});
    }  // killed: nothing saved, the journal left behind

    Bench next(dir.path());
    next.load();
    next.form->startJournal();
    EXPECT_EQ(next.window.list.entries, (std::vector<std::string>{"25    14:03:07", "-6    14:03:07"}));
    ASSERT_EQ(next.window.problems.size(), 1u);
    EXPECT_EQ(next.window.problems[0].rfind("Readings recorded since ", 0), 0u);
    EXPECT_NE(next.window.problems[0].find(": 2. "), std::string::npos);
    EXPECT_NE(next.window.problems[0].find(dir.file("database.txt")), std::string::npos);
    EXPECT_FALSE(next.window.Check1);

    next.window.Check1 = true;
    next.sample(700);
    next.form->deliver(&Form1::OnExitClick);
    EXPECT_EQ(fileBytes(dir.file("database.txt")), "25    14:03:07\r\n-6    14:03:07\r\n74    14:03:07\r\n");
    EXPECT_EQ(dir.fileNames(), std::vector<std::string>{"database.txt"});
}

TEST(Form1, TheCloseBoxDiscardsTheJournalAndTheSessionEndSavesWhatWasRecorded) {
    Bench closed;
    closed.load();
    closed.form->startJournal();
    closed.window.Check1 = true;
    closed.sample(600);
    closed.form->windowClosing();
    EXPECT_TRUE(closed.dir.fileNames().empty());

    Bench ended;
    ended.load();
    ended.form->startJournal();
    ended.window.Check1 = true;
    ended.sample(600);
    ended.form->endSession();
    ended.form->windowClosing();  // the close that follows changes nothing
    EXPECT_EQ(ended.dir.fileNames(), std::vector<std::string>{"database.txt"});
    EXPECT_FALSE(ended.form->deliver(&Form1::OnKeepAliveTimer));

    // Recovered but nothing new: nothing is written, the journal stays.
    Bench idle(ended.dir.path());
    writeBytes(ended.dir.file("thermometer.journal"), "25    14:03:07\n");
    idle.load();
    idle.form->startJournal();
    idle.form->endSession();
    EXPECT_EQ(fileBytes(ended.dir.file("database.txt")), "25    14:03:07\r\n");  // the old one
    EXPECT_EQ(fileBytes(ended.dir.file("thermometer.journal")), "25    14:03:07\n");
}

TEST(Form1, AFatalErrorWhoseSaveFailsKeepsTheJournalAndSaysWhere) {
    Bench b;
    b.load();
    b.form->startJournal();
    b.window.Check1 = true;
    b.sample(600);
    b.window.Text1 = "missing/dir";
    b.window.outOfMemory = true;  // any exception, not only a port's
    EXPECT_FALSE(b.sample(600));
    ASSERT_EQ(b.window.fatalReports.size(), 1u);
    const std::string& report = b.window.fatalReports[0];
    EXPECT_EQ(report.rfind("Out of memory\n", 0), 0u);
    EXPECT_NE(report.find("kept in " + b.dir.file("thermometer.journal")), std::string::npos);
    EXPECT_EQ(b.window.endStatus, Form1::kFatalExitStatus);
    EXPECT_NE(fileBytes(b.dir.file("thermometer.journal")).find("25    14:03:07\n"), std::string::npos);
}

TEST(Form1, WithoutAJournalItSaysSoOnceAndRecordsAllTheSame) {
    ScratchDir dir;
    Bench b(dir.file("gone"));
    b.load();
    b.form->startJournal();
    ASSERT_EQ(b.window.problems.size(), 1u);
    EXPECT_NE(b.window.problems[0].find("cannot be kept in a journal"), std::string::npos);
    b.window.Check1 = true;
    b.sample(600);
    EXPECT_EQ(b.window.list.entries.size(), 1u);
    EXPECT_EQ(b.window.problems.size(), 1u);
}

TEST(Form1, TheComputerIsKeptAwakeOnlyWhileRecording) {
    Bench b;
    b.load();
    b.sample(600);
    b.window.Check1 = true;
    b.sample(600);
    b.sample(600);
    b.window.Check1 = false;
    b.sample(600);
    b.window.Check1 = true;
    b.sample(600);
    b.form->windowClosing();
    EXPECT_EQ(b.runtime.awakeRequests, (std::vector<bool>{true, false, true, false}));
}
