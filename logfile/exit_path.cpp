#include "exit_path.h"

#include "file_system.h"

namespace logfile {

std::string logFileName(std::string_view programDirectory, std::string_view baseName) {
    std::string name;
    name.reserve(programDirectory.size() + 1 + baseName.size() + 4);
    name.append(programDirectory).append(1, kPathSeparator).append(baseName).append(".txt");
    return name;
}

} // namespace logfile
