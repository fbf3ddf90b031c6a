#include "file_names.h"

#include "replacement_file.h"

namespace logfile {
namespace {

std::string fileBeside(std::string_view programDirectory, std::string_view baseName,
                       std::string_view extension) {
    std::string name;
    name.reserve(programDirectory.size() + 1 + baseName.size() + extension.size());
    name.append(programDirectory).append(1, kPathSeparator).append(baseName).append(extension);
    return name;
}

} // namespace

std::string logFileName(std::string_view programDirectory, std::string_view baseName) {
    return fileBeside(programDirectory, baseName, ".txt");
}

std::string journalFileName(std::string_view programDirectory, std::string_view programName) {
    return fileBeside(programDirectory, programName, ".journal");
}

} // namespace logfile
