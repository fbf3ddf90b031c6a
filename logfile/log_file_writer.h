#pragma once
// The file side of SaveList: an all-or-nothing text file of CR LF lines in
// the system's narrow encoding, written through one fixed buffer.

#include "file_system.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace logfile {

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

} // namespace logfile
