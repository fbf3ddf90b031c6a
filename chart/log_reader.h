#pragma once
// Reads a thermometer log or journal into a Series, and at every later
// update only what was added since: the cost of following a journal is in
// proportion to its new lines. A last line without its line end is left
// for the next update: it may be being written, or torn.
//
// The reader follows the file through what becomes of it: it grows; it is
// emptied (the thermometer's "Выход" empties its journal before deleting
// it) and then gone, and what was read stays; it is made anew or cut
// shorter than what was read, and it is read anew from its start.
//
// What is not a log is refused with the reason, and nothing of it is kept:
// a file over kSizeCap, or one whose first megabyte holds no reading but
// NUL bytes or much else that is not text. A followed file that grows past
// the cap is read up to it. So memory stays bounded by the cap.

#include "log_file.h"
#include "series.h"
#include "timeline.h"

#include <cstdint>
#include <optional>
#include <string>

namespace chart {

class LogReader {
public:
    static constexpr std::uint64_t kSizeCap = 64ull << 20;
    static constexpr std::size_t kChunk = 1 << 20;
    static constexpr std::size_t kLongestLine = 4096;

    enum class Change {
        None,
        Added,     // read on where it had been read to
        Replaced,  // made anew, or cut: read anew from its start
        Emptied,   // cut to nothing; what was read stays
        Gone,      // deleted; what was read stays
    };
    enum class Refusal { None, NotText, TooLarge };

    explicit LogReader(std::string path);

    // Looks at the file and reads what is new. Throws text::Error (naming
    // the file) when it is there but cannot be read.
    Change update();

    const std::string& path() const noexcept { return path_; }
    const Series& series() const noexcept { return series_; }
    bool exists() const noexcept { return exists_; }
    std::int64_t modified() const noexcept { return modified_; }
    Refusal refusal() const noexcept { return refusal_; }
    bool stoppedAtCap() const noexcept { return stoppedAtCap_; }

    // Lines that are neither readings nor blank nor a journal's own.
    std::size_t otherLines() const noexcept { return otherLines_; }
    // Readings whose time could not be read or placed, and the first such time.
    std::size_t unreadableTimes() const noexcept { return unreadableTimes_; }
    const std::string& unreadableExample() const noexcept { return unreadableExample_; }
    const Timeline& timeline() const noexcept { return timeline_; }

private:
    void forget(bool keepWhatWasLearnt);
    bool readFrom(FileLook look);
    std::size_t consume(std::string_view bytes);
    void readLine(std::string_view line);
    void unreadable(std::string_view line);

    std::string path_;
    Series series_;
    Timeline timeline_;
    bool exists_ = false;
    bool emptied_ = false;
    std::optional<FileIdentity> identity_;
    std::int64_t modified_ = 0;
    std::uint64_t lineEnd_ = 0;  // the end of the last whole line read
    bool skippingLongLine_ = false;
    bool readAgain_ = false;  // what the timeline learnt changes what was read
    bool sawReading_ = false;
    Refusal refusal_ = Refusal::None;
    bool stoppedAtCap_ = false;
    std::size_t otherLines_ = 0;
    std::size_t unreadableTimes_ = 0;
    std::string unreadableExample_;
    std::string scratch_;
};

} // namespace chart
