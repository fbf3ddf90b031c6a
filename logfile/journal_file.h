#pragma once
// The journal's file as the OS gives it: created when missing, and held by
// this copy of the program alone for as long as it is open, so that another
// copy's open finds it held. journal_file_linux.cpp and
// journal_file_windows.cpp implement it; every failure throws text::Error
// with the OS's code (the Journal names the file).

#include "error.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace logfile {

class JournalFile {
public:
    virtual ~JournalFile() = default;

    // The whole content, from the start.
    virtual std::string readAll() = 0;
    // Cuts the file to `size` bytes; later appends go after them.
    virtual void truncate(std::uint64_t size) = 0;
    // Hands every byte to the OS before it returns.
    virtual void append(std::string_view bytes) = 0;
    // Returns once what was appended is on the disk.
    virtual void sync() = 0;
    // Deletes the file and lets go of it; nothing else is called after.
    virtual void remove() = 0;
};

struct JournalFileOpening {
    std::unique_ptr<JournalFile> file;  // null when held elsewhere or failed
    bool heldElsewhere = false;
};

// Opens or creates the file at `path` (UTF-8) and holds it. Throws
// text::Error when the OS refuses for any reason but another holder.
JournalFileOpening openJournalFile(const std::string& path);

} // namespace logfile
