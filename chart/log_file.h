#pragma once
// A log or journal as the chart reads it: opened, read from an offset and
// closed again at every look, never locked, so that the thermometer can
// append to its journal, delete it, or start anew meanwhile. On Windows the
// file is opened sharing reading, writing and deletion: a handle held open
// would make the thermometer's delete of its journal fail. log_file_linux.cpp
// and log_file_windows.cpp implement it.

#include "error.h"

#include <cstdint>
#include <string>

namespace chart {

// Which file a name leads to: a journal made anew under the same name is
// another file.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    bool operator==(const FileIdentity&) const = default;
};

struct FileLook {
    bool exists = false;  // false: no file of that name (any more)
    FileIdentity identity;
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // in the OS's own unit: only compared
    std::string bytes;          // up to `most` bytes from the offset asked for
};

// Looks at the file at `path` (UTF-8) and reads up to `most` bytes of it from
// `offset`. A missing file is no error; one that is there but cannot be read
// (no permission, a folder) throws text::Error naming `path`.
FileLook lookAtFile(const std::string& path, std::uint64_t offset, std::size_t most);

} // namespace chart
