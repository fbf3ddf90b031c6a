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

#include "log_file_writer.h"

#include <cstdint>
#include <optional>
#include <string>

namespace logfile {

template <class List>
std::optional<text::Error> SaveList(const std::string& fileName, const List& list) {
    LogFileWriter writer(fileName);
    const std::int32_t last = list.ListCount() - 1;
    for (std::int32_t i = 0; i <= last && writer.ok(); ++i)
        writer.writeLine(list.List(i));
    return writer.finish();
}

} // namespace logfile
