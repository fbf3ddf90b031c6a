#pragma once
// A program started from inside a zip in Explorer runs from a copy in the
// user's temporary folder, which Windows and cleanup tools empty: the log
// file and the journal saved beside it would go too. Told once at start.

#include <optional>
#include <string>

namespace win32ui {

// Whether `folder` (UTF-8) is the user's temporary folder (GetTempPathW)
// or lies inside it. Compared as long, full paths, ignoring case, so a
// short 8.3 name or another spelling of the same folder counts too.
bool isInTemporaryFolder(const std::string& folder);

// The message for a program in `programDirectory`, or nothing where it is
// not in the temporary folder.
std::optional<std::string> temporaryFolderWarning(const std::string& programDirectory);

} // namespace win32ui
