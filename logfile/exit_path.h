#pragma once
// Where the log goes when the program ends.

#include <string>
#include <string_view>

namespace logfile {

// programDirectory + the OS's separator + the base name exactly as typed
// + ".txt". Nothing is trimmed or checked and the separator is always put in,
// so an empty name gives ".txt" and "log.txt" gives "log.txt.txt".
std::string logFileName(std::string_view programDirectory, std::string_view baseName);

} // namespace logfile
