#pragma once
// Writes a list of text entries to a file, one line per entry in list
// order, each ending in CR LF, in the system's narrow encoding (UTF-8 on
// Linux). No header and no trailing empty line; an empty list gives an
// empty file.
//
// The list is anything that offers ListCount() and List(i) (0-based).
//
// The file is replaced only as a whole: everything goes to a temporary file
// in the same directory, which takes the name only once every line and the
// close have succeeded. On any failure the old file stays exactly as it
// was, and the reason is returned instead of being lost.

#include "log_file_writer.h"

#include <QString>
#include <optional>

namespace logfile {

template <class List>
std::optional<SaveError> SaveList(const QString& fileName, const List& list) {
    LogFileWriter writer(fileName);
    const int last = list.ListCount() - 1;
    for (int i = 0; i <= last && writer.ok(); ++i)
        writer.writeLine(list.List(i));
    return writer.finish();
}

} // namespace logfile
