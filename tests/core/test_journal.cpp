// The journal of a recording: what it writes, what a later start reads
// back from it (and what it passes over), one holder at a time, and a
// disk that fails it.

#include "journal.h"
#include "scratch_dir.h"

#include <gtest/gtest.h>

using logfile::Journal;

namespace {

Journal::Clock::time_point at(int seconds) {
    return Journal::Clock::time_point(std::chrono::seconds(seconds));
}

// The heading's first part; the time after it is the clock's.
const std::string kHeading = "# thermometer journal: recording since ";

// The local clock the journal's dated lines read, set by the test.
std::string clockShows;
std::string testClock() {
    return clockShows;
}

// A journal file that holds its bytes in memory and fails to sync on demand.
class MemoryJournalFile final : public logfile::JournalFile {
public:
    std::string& bytes;
    int& syncs;
    bool syncFails = false;

    MemoryJournalFile(std::string& b, int& s) : bytes(b), syncs(s) {}
    std::string readAll() override { return bytes; }
    void truncate(std::uint64_t size) override { bytes.resize(size); }
    void append(std::string_view more) override { bytes.append(more); }
    void sync() override {
        if (syncFails)
            throw text::Error::system(EIO, {});
        ++syncs;
    }
    void remove() override { bytes = "<removed>"; }
};

} // namespace

TEST(Journal, EntriesAreWrittenAtOnceAndReadBackByTheNextHolder) {
    ScratchDir dir;
    const std::string path = dir.file("thermometer.journal");
    {
        Journal::Opening first = Journal::open(path);
        ASSERT_TRUE(first.journal);
        EXPECT_TRUE(first.journal->takeRecovered().entries.empty());
        EXPECT_FALSE(first.journal->append("25    14:03:07", at(0)));
        EXPECT_FALSE(first.journal->append("-6    14:03:08", at(1)));
        const std::string bytes = fileBytes(path);  // on the OS's side already
        EXPECT_EQ(bytes.rfind(kHeading, 0), 0u);
        EXPECT_EQ(bytes.substr(bytes.find('\n') + 1), "25    14:03:07\n-6    14:03:08\n");

        // A second copy finds it held: it neither reads nor writes it.
        const Journal::Opening second = Journal::open(path);
        EXPECT_TRUE(second.heldElsewhere && !second.journal && !second.error);
    }  // as a killed program: the file stays, the hold goes
    Journal::Opening next = Journal::open(path);
    ASSERT_TRUE(next.journal);
    const Journal::Recovered left = next.journal->takeRecovered();
    EXPECT_EQ(left.entries, (std::vector<std::string>{"25    14:03:07", "-6    14:03:08"}));
    EXPECT_EQ(left.since.size(), 19u);  // "2026-12-09 14:03:07"

    EXPECT_FALSE(next.journal->remove());
    EXPECT_TRUE(dir.fileNames().empty());
}

TEST(Journal, WhatACrashOrPowerCutLeftHalfWrittenIsPassedOver) {
    ScratchDir dir;
    const std::string path = dir.file("thermometer.journal");
    writeBytes(path, kHeading + "2026-12-09 14:03:00\n25    14:03:07\n" + std::string(3, '\0') +
                         "\ngarbage\n-\n7    \n24    14:03:08\n-6    14:0");
    Journal::Opening opening = Journal::open(path);
    ASSERT_TRUE(opening.journal);
    const Journal::Recovered left = opening.journal->takeRecovered();
    EXPECT_EQ(left.since, "2026-12-09 14:03:00");
    EXPECT_EQ(left.entries, (std::vector<std::string>{"25    14:03:07", "24    14:03:08"}));
    // The torn line is cut off, so the next entry starts a line of its own,
    // after the line that dates it.
    EXPECT_FALSE(opening.journal->append("23    14:03:09", at(0)));
    const std::string bytes = fileBytes(path);
    const std::size_t cut = bytes.find("24    14:03:08\n# thermometer journal: recording resumed ");
    ASSERT_NE(cut, std::string::npos) << bytes;
    EXPECT_EQ(bytes.substr(bytes.find('\n', cut + 15)), "\n23    14:03:09\n");
}

TEST(Journal, SyncsWithinTheIntervalAndReportsASyncThatFails) {
    std::string bytes;
    int syncs = 0;
    auto file = std::make_unique<MemoryJournalFile>(bytes, syncs);
    MemoryJournalFile& disk = *file;
    Journal::Opening opening = Journal::open("memory", std::move(file));
    ASSERT_TRUE(opening.journal);
    Journal& journal = *opening.journal;

    EXPECT_FALSE(journal.syncIfDue(at(100)));  // nothing written: nothing to sync
    EXPECT_EQ(syncs, 0);
    journal.append("25    14:03:07", at(100));
    journal.append("25    14:03:08", at(101));
    EXPECT_FALSE(journal.syncIfDue(at(104)));
    EXPECT_EQ(syncs, 0);
    EXPECT_FALSE(journal.syncIfDue(at(105)));  // the first entry is 5 s old
    EXPECT_EQ(syncs, 1);
    EXPECT_FALSE(journal.syncIfDue(at(200)));
    EXPECT_EQ(syncs, 1);

    journal.append("25    14:03:09", at(201));
    disk.syncFails = true;
    const auto error = journal.syncIfDue(at(206));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), EIO);
    EXPECT_TRUE(journal.failed());
    EXPECT_FALSE(journal.append("25    14:03:10", at(207)));  // a failed journal takes no more
    EXPECT_EQ(bytes.substr(bytes.size() - 15), "25    14:03:09\n");
}

TEST(Journal, ATroubledFolderIsAnErrorNotAHold) {
    ScratchDir dir;
    const Journal::Opening opening = Journal::open(dir.file("no such folder/thermometer.journal"));
    EXPECT_FALSE(opening.journal || opening.heldElsewhere);
    ASSERT_TRUE(opening.error);
    EXPECT_GT(opening.error->number(), 0);
}

TEST(Journal, DatedLinesKeepTheDayOverMidnightAndWhereARecordingResumes) {
    std::string bytes;
    int syncs = 0;
    clockShows = "2026-12-09 23:59:59";
    {
        Journal::Opening first =
            Journal::open("memory", std::make_unique<MemoryJournalFile>(bytes, syncs), testClock);
        ASSERT_TRUE(first.journal);
        first.journal->append("25    23:59:59", at(0));
        clockShows = "2026-12-10 00:00:00";
        first.journal->append("25    00:00:00", at(1));
        clockShows = "2026-12-10 00:00:01";
        first.journal->append("24    00:00:01", at(2));
    }  // killed
    clockShows = "2026-12-12 08:00:00";
    Journal::Opening next = Journal::open("memory", std::make_unique<MemoryJournalFile>(bytes, syncs), testClock);
    ASSERT_TRUE(next.journal);
    const Journal::Recovered left = next.journal->takeRecovered();
    EXPECT_EQ(left.since, "2026-12-09 23:59:59");
    EXPECT_EQ(left.entries, (std::vector<std::string>{"25    23:59:59", "25    00:00:00", "24    00:00:01"}));
    next.journal->append("20    08:00:00", at(3));
    next.journal->append("20    08:00:01", at(4));
    EXPECT_EQ(bytes, kHeading + "2026-12-09 23:59:59\n25    23:59:59\n"
                     "# thermometer journal: new day 2026-12-10 00:00:00\n25    00:00:00\n24    00:00:01\n"
                     "# thermometer journal: recording resumed 2026-12-12 08:00:00\n20    08:00:00\n"
                     "20    08:00:01\n");
}
