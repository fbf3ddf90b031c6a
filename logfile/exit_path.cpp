#include "exit_path.h"

#include <QDir>

namespace logfile {

QString logFileName(const QString& programDirectory, const QString& baseName) {
    return QDir::toNativeSeparators(programDirectory) + QDir::separator() + baseName
         + QStringLiteral(".txt");
}

} // namespace logfile
