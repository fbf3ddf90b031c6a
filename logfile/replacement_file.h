#pragma once
// A file written whole or not at all, as the log file is saved, and the two
// things of this OS's files its writers need: the path separator and the
// narrow encoding. replacement_file_linux.cpp and replacement_file_windows.cpp
// implement it. File names are UTF-8.

#include "error.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace logfile {

// The separator between a folder and a name in this OS's paths.
extern const char kPathSeparator;

// The text in the system's narrow encoding (UTF-8 on Linux, the ANSI code
// page on Windows). Returns `utf8` itself where nothing needs changing, else
// a view of `scratch`, which it fills.
std::string_view toNarrow(std::string_view utf8, std::string& scratch);

// A file that takes the place of `fileName` only as a whole: the bytes go to
// a temporary file beside it, which replaces the old one on commit();
// commit() succeeds only once the new file and its name are on the disk.
// Until the replacement, and after any failure before it, the old file stays
// exactly as it was; a temporary file not committed is removed. A failure
// carries what is wrong with the folder (missing, not a folder, not
// writable) as its note, since the OS's reason alone can mislead ("No such
// file or directory" for a missing folder).
class ReplacementFile {
public:
    explicit ReplacementFile(const std::string& fileName);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Each returns false once anything has failed; error() then says why,
    // naming the file.
    bool write(std::string_view bytes);
    bool commit();
    const std::optional<text::Error>& error() const noexcept { return error_; }

private:
    struct Os;
    void fail(int number, text::MessageId why = text::MessageId::SystemFailure,
              std::vector<std::string> args = {});

    std::string fileName_;
    std::unique_ptr<Os> os_;
    std::optional<text::Error> error_;
};

} // namespace logfile
