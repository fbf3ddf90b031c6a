#pragma once
// The journal of a recording, kept in the program's folder so that a day's
// readings outlive a kill, a crash or a power cut: each entry is appended
// as it is recorded and reaches the OS at once, so a killed or crashed
// program loses nothing; it reaches the disk within kSyncInterval, so a
// power cut loses at most that much.
//
// The file is UTF-8 text, one entry a line, each ending in LF, after a
// first line that says when the recording began:
//   # thermometer journal: recording since 2026-12-09 14:03:07
//   25    14:03:07
// The entries hold the time of day only, so dated lines keep their day: one
// before the first entry appended after a recovery, and one before the
// first entry of each new day (by the local clock, at the append):
//   # thermometer journal: recording resumed 2026-12-10 08:00:00
//   # thermometer journal: new day 2026-12-11 00:00:00
// The date and time are the clock's when the line is written, which may be
// a second after the time in the entry that follows. Reading it back, lines
// that are not entries (these, anything a crash or power cut left half
// written) are passed over, and so is a last line without its LF.
//
// One copy of the program holds the journal at a time (journal_file.h).
// Every failure is returned, never thrown; after one, the journal does
// nothing more but remove().

#include "journal_file.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace logfile {

class Journal {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kSyncInterval{5};

    // What a previous run left behind.
    struct Recovered {
        std::vector<std::string> entries;
        std::string since;  // "2026-12-09 14:03:07", or empty if unknown
    };

    struct Opening {
        std::unique_ptr<Journal> journal;  // null when held elsewhere or failed
        bool heldElsewhere = false;
        std::optional<text::Error> error;
    };

    // The local date and time now, "2026-12-09 14:03:07"; empty if unknown.
    using DateTimeNow = std::string (*)();

    // Opens the journal at `path` (UTF-8) and reads what it holds. A file
    // and a clock for tests; by default the OS's.
    static Opening open(const std::string& path, std::unique_ptr<JournalFile> file = {},
                        DateTimeNow dateTimeNow = nullptr);

    const std::string& path() const noexcept { return path_; }
    // Taken once: the entries the file held when it was opened.
    Recovered takeRecovered() { return std::move(recovered_); }
    bool failed() const noexcept { return failed_; }

    // Appends one entry; the first into an empty journal writes the heading.
    std::optional<text::Error> append(std::string_view entry, Clock::time_point now);
    // Syncs when the oldest entry not yet on the disk is kSyncInterval old.
    std::optional<text::Error> syncIfDue(Clock::time_point now);
    // Deletes the journal: its entries are saved, or meant to go.
    std::optional<text::Error> remove();

private:
    Journal(std::string path, std::unique_ptr<JournalFile> file, DateTimeNow dateTimeNow);
    void recover();
    std::string datedLine();
    std::optional<text::Error> failWith(const text::Error& error);

    std::string path_;
    std::unique_ptr<JournalFile> file_;
    Recovered recovered_;
    DateTimeNow dateTimeNow_;
    bool empty_ = true;  // nothing written yet, not even the heading
    bool resuming_ = false;  // entries were recovered and none appended since
    std::string lastDate_;   // of the last entry appended: "2026-12-09"
    bool failed_ = false;
    std::optional<Clock::time_point> unsyncedSince_;
};

// Whether a line of a journal is an entry: a whole number of degrees, four
// blanks, and a time of day.
bool isJournalEntry(std::string_view line);

} // namespace logfile
