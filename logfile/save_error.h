#pragma once
// Why the log file could not be written, in the words of its source.

#include <optional>
#include <string>

namespace logfile {

struct SaveError {
    std::string fileName;      // UTF-8
    int number = 0;            // the OS's code (errno, GetLastError()) or -1
    std::string description;   // the OS's reason
    std::string folderProblem; // what is wrong with the folder, if anything is
};

// "Could not save /home/ann/database.txt: Permission denied
//  (the folder /home/ann is not writable)"
std::string describe(const SaveError& error);

} // namespace logfile
