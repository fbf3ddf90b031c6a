#pragma once
// Which file names Windows does not take as the name of a file on disk.
// Pure, so that it is checked on every build; only the Windows build
// applies it (a Linux file may be called COM3 or a:b).

#include "message.h"

#include <optional>
#include <string>
#include <string_view>

namespace logfile {

// Why `name` (one UTF-8 path component, no folder) would not name a plain
// file on Windows; nothing when it would.
// Refused: the device names CON, PRN, AUX, NUL, COM0-COM9, LPT0-LPT9 (and
// COM/LPT with a superscript 1, 2 or 3), in any case, with any extension
// and with blanks before it ("nul .txt"), which open the device instead;
// the characters < > : " | ? * (":" opens an alternate stream of another
// file); and control characters.
std::optional<text::Message> windowsNameProblem(std::string_view name);

// The folder part of a Windows path (either slash), "." where there is
// none. A drive's root keeps its backslash: "C:" alone would be the
// current folder on drive C, not its root.
std::string windowsFolderOf(std::string_view path);

} // namespace logfile
