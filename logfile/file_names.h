#pragma once
// Where the program's files go, beside the program: the log when the
// program ends, and the journal while it records.

#include <string>
#include <string_view>

namespace logfile {

// programDirectory + the OS's separator + the base name exactly as typed
// + ".txt". Nothing is trimmed or checked and the separator is always put in,
// so an empty name gives ".txt" and "log.txt" gives "log.txt.txt".
std::string logFileName(std::string_view programDirectory, std::string_view baseName);

// programDirectory + the OS's separator + programName + ".journal": one
// journal per program file, so the demo and the real program keep apart.
std::string journalFileName(std::string_view programDirectory, std::string_view programName);

} // namespace logfile
