#pragma once
// Where the log goes and how it gets there when the program ends.

#include "save_list.h"

#include <QString>

namespace logfile {

// programDirectory + the native separator + the base name exactly as typed
// + ".txt". Nothing is trimmed or checked and the separator is always put in,
// so an empty name gives ".txt" and "log.txt" gives "log.txt.txt".
QString logFileName(const QString& programDirectory, const QString& baseName);

} // namespace logfile
