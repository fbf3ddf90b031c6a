#include "log_reader.h"

#include "legacy_text.h"
#include "log_line.h"
#include "unicode_text.h"

#include <algorithm>

namespace chart {
namespace {

constexpr std::size_t kBinarySample = 64 << 10;
// Each change of what the timeline learnt makes at most one more reading
// from the start; it can change only this often.
constexpr int kMostReadings = 4;

bool looksBinary(std::string_view bytes) {
    bytes = bytes.substr(0, kBinarySample);
    std::size_t controls = 0;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == 0)
            return true;
        if (byte < 0x20 && byte != '\n' && byte != '\r' && byte != '\t' && byte != '\f')
            ++controls;
    }
    return controls * 10 > bytes.size();
}

} // namespace

LogReader::LogReader(std::string path) : path_(std::move(path)) {
}

void LogReader::forget(bool keepWhatWasLearnt) {
    series_.clear();
    if (keepWhatWasLearnt)
        timeline_.restart();
    else
        timeline_ = Timeline{};
    lineEnd_ = 0;
    skippingLongLine_ = false;
    readAgain_ = false;
    sawReading_ = false;
    refusal_ = Refusal::None;
    stoppedAtCap_ = false;
    otherLines_ = 0;
    unreadableTimes_ = 0;
    unreadableExample_.clear();
}

LogReader::Change LogReader::update() {
    FileLook look = lookAtFile(path_, lineEnd_, kChunk);
    if (!look.exists) {
        const bool wasThere = exists_;
        exists_ = false;
        return wasThere ? Change::Gone : Change::None;
    }
    const bool anotherFile = identity_ && *identity_ != look.identity;
    exists_ = true;
    identity_ = look.identity;
    modified_ = look.modified;
    if (look.size == 0 && lineEnd_ > 0) {
        if (emptied_)
            return Change::None;
        emptied_ = true;
        return Change::Emptied;
    }
    const bool cut = look.size < lineEnd_;
    // Written again after being emptied: a new recording in the same file.
    const bool refilled = emptied_ && look.size > 0;
    if (anotherFile || cut || refilled) {
        forget(false);
        emptied_ = false;
        look = lookAtFile(path_, 0, kChunk);
        readFrom(std::move(look));
        return Change::Replaced;
    }
    return readFrom(std::move(look)) ? Change::Added : Change::None;
}

// Reads on from lineEnd_, where `look` was taken; true when anything was read.
bool LogReader::readFrom(FileLook look) {
    if (refusal_ != Refusal::None)
        return false;
    if (lineEnd_ == 0 && look.size > kSizeCap) {
        refusal_ = Refusal::TooLarge;
        return true;
    }
    const std::uint64_t started = lineEnd_;
    bool readAnew = false;
    for (int readings = 1;; ++readings) {
        const bool fromStart = lineEnd_ == 0;
        while (!look.bytes.empty() && lineEnd_ < kSizeCap) {
            const std::size_t taken = consume(std::string_view(look.bytes).substr(0, kSizeCap - lineEnd_));
            if (readAgain_)
                break;
            if (fromStart && lineEnd_ == taken) {
                if (!sawReading_ && looksBinary(look.bytes)) {
                    forget(true);
                    refusal_ = Refusal::NotText;
                    return true;
                }
                // Room for the whole file at the first chunk's line length,
                // so the series need not double its way there.
                const std::size_t lineLength =
                    std::max<std::size_t>(taken / std::max<std::size_t>(series_.size(), 1), 1);
                series_.reserve(std::size_t(std::min(look.size, kSizeCap) / lineLength) + 64);
            }
            if (taken == 0 || lineEnd_ >= look.size)
                break;
            look = lookAtFile(path_, lineEnd_, kChunk);
        }
        if (!readAgain_ || readings == kMostReadings)
            break;
        forget(true);
        readAnew = true;
        look = lookAtFile(path_, 0, kChunk);
    }
    stoppedAtCap_ = lineEnd_ >= kSizeCap;
    return lineEnd_ != started || readAnew;
}

// Reads the whole lines at the start of `bytes`; returns how many bytes they took.
std::size_t LogReader::consume(std::string_view bytes) {
    std::size_t at = 0;
    while (!readAgain_) {
        const std::size_t end = bytes.find('\n', at);
        if (end == std::string_view::npos) {
            // A line longer than any log's, and no end to it yet: not a
            // reading, and not kept waiting for.
            if (bytes.size() - at > kLongestLine) {
                if (!skippingLongLine_)
                    ++otherLines_;
                skippingLongLine_ = true;
                at = bytes.size();
            }
            break;
        }
        if (skippingLongLine_)
            skippingLongLine_ = false;
        else if (end - at > kLongestLine)
            ++otherLines_;
        else
            readLine(bytes.substr(at, end - at));
        if (!readAgain_)
            at = end + 1;
    }
    lineEnd_ += at;
    return at;
}

void LogReader::readLine(std::string_view line) {
    if (!isUtf8(line)) {
        scratch_ = legacyToUtf8(line);
        line = scratch_;
    }
    LogLine read = readLogLine(line);
    switch (read.kind) {
    case LogLine::Kind::Blank:
    case LogLine::Kind::Note:
        return;
    case LogLine::Kind::DateMark:
        timeline_.dateMark(read.dateTime);
        return;
    case LogLine::Kind::Other:
        ++otherLines_;
        return;
    case LogLine::Kind::UnreadableTime:
        unreadable(line);
        return;
    case LogLine::Kind::Reading:
        break;
    }
    if (timeline_.learn(read.time)) {
        readAgain_ = true;
        return;
    }
    const auto placed = timeline_.place(read.time);
    if (!placed || !series_.append(placed->seconds, placed->dated, read.temperature)) {
        unreadable(line);
        return;
    }
    sawReading_ = true;
}

void LogReader::unreadable(std::string_view line) {
    if (unreadableTimes_++ == 0) {
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        // The time, after the temperature and its four blanks.
        const std::size_t time = line.find("    ");
        unreadableExample_ = std::string(trimBlanks(line.substr(time == std::string_view::npos ? 0 : time)));
    }
}

} // namespace chart
