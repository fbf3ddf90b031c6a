#pragma once
// Writes a list of text entries to a file, one line per entry in list
// order, each ending in CR LF, in the system's narrow encoding (UTF-8 on
// Linux, the ANSI code page on Windows). No header and no trailing empty
// line; an empty list gives an empty file.
//
// The list is anything that offers ListCount() and List(i) (0-based), the
// entries UTF-8 text.
//
// The file is replaced only as a whole: everything goes to a temporary file
// in the same directory, which takes the name only once every line and the
// close have succeeded. On any failure the old file stays exactly as it
// was, and the reason is returned instead of being lost.

#include "replacement_file.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace logfile {

// The file side of SaveList: the lines encoded into one fixed buffer, which
// goes to the replacement file as it fills.
class LogFileWriter {
public:
    explicit LogFileWriter(const std::string& fileName);
    LogFileWriter(const LogFileWriter&) = delete;
    LogFileWriter& operator=(const LogFileWriter&) = delete;

    bool ok() const noexcept { return !file_.error(); }
    void writeLine(std::string_view utf8);
    // Puts the file in place; the old one is untouched on any failure.
    std::optional<text::Error> finish();

private:
    void flushBuffer();

    ReplacementFile file_;
    std::unique_ptr<char[]> buffer_;  // lines are encoded straight into it
    std::size_t used_ = 0;
    std::string scratch_;             // for a line that needs re-encoding
    std::string oversized_;           // for a line longer than the buffer
};

template <class List>
std::optional<text::Error> SaveList(const std::string& fileName, const List& list) {
    LogFileWriter writer(fileName);
    const std::int32_t last = list.ListCount() - 1;
    for (std::int32_t i = 0; i <= last && writer.ok(); ++i)
        writer.writeLine(list.List(i));
    return writer.finish();
}

} // namespace logfile
