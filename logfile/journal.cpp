#include "journal.h"

#include <ctime>

namespace logfile {
namespace {

constexpr std::string_view kHeading = "# thermometer journal: recording since ";
constexpr std::string_view kResumed = "# thermometer journal: recording resumed ";
constexpr std::string_view kNewDay = "# thermometer journal: new day ";
constexpr std::size_t kDateLength = 10;  // "2026-12-09"

std::string localDateTimeNow() {
    const std::time_t now = std::time(nullptr);
    // One thread only: std::localtime's shared buffer is safe here.
    const std::tm* local = std::localtime(&now);
    char text[32] = {};
    if (!local || std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local) == 0)
        return {};
    return text;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

bool isJournalEntry(std::string_view line) {
    std::size_t i = !line.empty() && line[0] == '-' ? 1 : 0;
    const std::size_t digitsFrom = i;
    while (i < line.size() && isDigit(line[i]))
        ++i;
    if (i == digitsFrom || line.substr(i, 4) != "    " || i + 4 >= line.size())
        return false;
    for (const char c : line.substr(i + 4))
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return false;
    return true;
}

Journal::Journal(std::string path, std::unique_ptr<JournalFile> file, DateTimeNow dateTimeNow)
    : path_(std::move(path)), file_(std::move(file)),
      dateTimeNow_(dateTimeNow ? dateTimeNow : localDateTimeNow) {}

Journal::Opening Journal::open(const std::string& path, std::unique_ptr<JournalFile> file,
                               DateTimeNow dateTimeNow) {
    Opening opening;
    try {
        if (!file) {
            JournalFileOpening os = openJournalFile(path);
            if (os.heldElsewhere) {
                opening.heldElsewhere = true;
                return opening;
            }
            file = std::move(os.file);
        }
        std::unique_ptr<Journal> journal(new Journal(path, std::move(file), dateTimeNow));
        journal->recover();
        opening.journal = std::move(journal);
    } catch (const text::Error& error) {
        opening.error = text::Error::system(error.number(), path);
    }
    return opening;
}

void Journal::recover() {
    const std::string content = file_->readAll();
    const std::size_t lastLineEnd = content.rfind('\n');
    const std::size_t whole = lastLineEnd == std::string::npos ? 0 : lastLineEnd + 1;
    // A line torn by a crash mid-write goes, so the next entry starts a
    // line of its own.
    if (whole < content.size())
        file_->truncate(whole);
    empty_ = whole == 0;
    resuming_ = !empty_;
    std::string_view rest(content.data(), whole);
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end + 1);
        if (line.substr(0, kHeading.size()) == kHeading && recovered_.since.empty())
            recovered_.since = std::string(line.substr(kHeading.size()));
        else if (isJournalEntry(line))
            recovered_.entries.emplace_back(line);
    }
}

std::optional<text::Error> Journal::append(std::string_view entry, Clock::time_point now) {
    if (failed_)
        return std::nullopt;
    try {
        std::string bytes = datedLine();
        bytes.append(entry).push_back('\n');
        file_->append(bytes);
        empty_ = false;
        resuming_ = false;
        if (!unsyncedSince_)
            unsyncedSince_ = now;
    } catch (const text::Error& error) {
        return failWith(error);
    }
    return std::nullopt;
}

// The line that goes before the next entry: the heading into an empty
// journal, else a dated line where the recording resumes or a day begins.
std::string Journal::datedLine() {
    const std::string now = dateTimeNow_();
    const std::string date = now.substr(0, kDateLength);
    std::string line;
    if (empty_)
        line.append(kHeading).append(now).push_back('\n');
    else if (!now.empty() && resuming_)
        line.append(kResumed).append(now).push_back('\n');
    else if (!now.empty() && !lastDate_.empty() && date != lastDate_)
        line.append(kNewDay).append(now).push_back('\n');
    if (!now.empty())
        lastDate_ = date;
    return line;
}

std::optional<text::Error> Journal::syncIfDue(Clock::time_point now) {
    if (failed_ || !unsyncedSince_ || now - *unsyncedSince_ < kSyncInterval)
        return std::nullopt;
    try {
        file_->sync();
        unsyncedSince_.reset();
    } catch (const text::Error& error) {
        return failWith(error);
    }
    return std::nullopt;
}

std::optional<text::Error> Journal::remove() {
    if (!file_)
        return std::nullopt;
    try {
        std::unique_ptr<JournalFile> file = std::move(file_);
        // Emptied first: a journal the OS then will not delete must not
        // bring readings that were saved back at the next start.
        try {
            file->truncate(0);
        } catch (const text::Error&) {
        }
        file->remove();
    } catch (const text::Error& error) {
        return text::Error::system(error.number(), path_);
    }
    return std::nullopt;
}

std::optional<text::Error> Journal::failWith(const text::Error& error) {
    failed_ = true;
    return text::Error::system(error.number(), path_);
}

} // namespace logfile
