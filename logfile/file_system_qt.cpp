// Linux: the file is replaced through QSaveFile (a temporary file beside it,
// renamed over it on commit). Texts are UTF-8 already. Errors carry errno:
// Qt fails right after the system call that failed, so errno cleared before
// each step still holds that call's code.

#include "file_system.h"

#include <QSaveFile>
#include <QString>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace logfile {

const char kPathSeparator = '/';

std::string_view toNarrow(std::string_view utf8, std::string&) {
    return utf8;
}

std::string folderProblem(const std::string& fileName) {
    const auto slash = fileName.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".")
                             : slash == 0                 ? std::string("/")
                                                          : fileName.substr(0, slash);
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0)
        return "the folder " + folder + " does not exist";
    if (!S_ISDIR(info.st_mode))
        return folder + " is not a folder";
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
        return "the folder " + folder + " is not writable";
    return {};
}

struct ReplacementFile::Os {
    explicit Os(const std::string& fileName) : file(QString::fromStdString(fileName)) {}
    QSaveFile file;
};

ReplacementFile::ReplacementFile(const std::string& fileName)
    : fileName_(fileName), os_(std::make_unique<Os>(fileName)) {
    errno = 0;
    if (!os_->file.open(QIODevice::WriteOnly))
        fail(errno, os_->file.errorString().toStdString());
}

ReplacementFile::~ReplacementFile() {
    if (os_->file.isOpen())
        os_->file.cancelWriting();  // the temporary file goes, the old one stays
}

bool ReplacementFile::write(std::string_view bytes) {
    if (error_)
        return false;
    errno = 0;
    if (os_->file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()))
        fail(errno, os_->file.errorString().toStdString());
    return !error_;
}

bool ReplacementFile::commit() {
    if (error_)
        return false;
    errno = 0;
    if (!os_->file.commit())
        fail(errno, os_->file.errorString().toStdString());
    return !error_;
}

void ReplacementFile::fail(int number, std::string description) {
    if (!error_)
        error_ = SaveError{fileName_, number > 0 ? number : -1, std::move(description),
                           folderProblem(fileName_)};
}

} // namespace logfile
