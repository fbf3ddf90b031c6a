// Linux: the file is replaced by hand, so that every step's result is seen.
// The bytes go to a temporary file beside the target; it is synced, closed
// and renamed over the target, and then the folder is synced so that the
// rename itself survives a power cut. A sync the disk refuses (NFS, SMB, a
// disk that fills only at write-back) is a failed save. Texts are UTF-8.

#include "replacement_file.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace logfile {
namespace {

std::string folderOf(const std::string& fileName) {
    const auto slash = fileName.rfind('/');
    return slash == std::string::npos ? std::string(".")
         : slash == 0                 ? std::string("/")
                                      : fileName.substr(0, slash);
}

// Where the bytes must end up: through a symbolic link to the file it names,
// so that saving replaces the file and leaves the link a link.
std::string finalName(const std::string& fileName) {
    struct stat info {};
    if (::lstat(fileName.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return fileName;
    char* resolved = ::realpath(fileName.c_str(), nullptr);
    if (!resolved)
        return fileName;  // a dangling link is replaced like a file
    std::string target(resolved);
    std::free(resolved);
    return target;
}

std::optional<text::Message> folderProblem(const std::string& fileName) {
    using enum text::MessageId;
    const std::string folder = folderOf(fileName);
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0)
        return text::Message{FolderMissing, {folder}};
    if (!S_ISDIR(info.st_mode))
        return text::Message{NotAFolder, {folder}};
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
        return text::Message{FolderNotWritable, {folder}};
    return std::nullopt;
}

} // namespace

const char kPathSeparator = '/';

std::string_view toNarrow(std::string_view utf8, std::string&) {
    return utf8;
}


struct ReplacementFile::Os {
    std::string target;
    std::string temporary;  // empty once renamed or removed
    int fd = -1;
};

ReplacementFile::ReplacementFile(const std::string& fileName)
    : fileName_(fileName), os_(std::make_unique<Os>()) {
    os_->target = finalName(fileName);
    // O_EXCL: never write into a file someone else made under this name.
    const std::string stem = os_->target + "." + std::to_string(::getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = stem + std::to_string(attempt) + ".tmp";
        os_->fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (os_->fd >= 0) {
            os_->temporary = name;
            break;
        }
        if (errno != EEXIST)
            break;
    }
    if (os_->fd < 0) {
        const int code = errno;
        fail(code);
        return;
    }
    // A replaced file keeps its permissions; a new one gets 0666 less umask.
    struct stat old {};
    if (::stat(os_->target.c_str(), &old) == 0 && ::fchmod(os_->fd, old.st_mode & 07777) != 0) {
        const int code = errno;
        fail(code);
    }
}

ReplacementFile::~ReplacementFile() {
    if (os_->fd >= 0)
        ::close(os_->fd);
    if (!os_->temporary.empty())
        ::unlink(os_->temporary.c_str());  // the old file stays as it was
}

bool ReplacementFile::write(std::string_view bytes) {
    while (!error_ && !bytes.empty()) {
        const ssize_t put = ::write(os_->fd, bytes.data(), bytes.size());
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0) {
            const int code = errno;
            fail(code);
        } else {
            bytes.remove_prefix(std::size_t(put));
        }
    }
    return !error_;
}

bool ReplacementFile::commit() {
    if (error_)
        return false;
    const auto failWith = [this](int code) {
        fail(code);
        return false;
    };
    if (::fsync(os_->fd) != 0)
        return failWith(errno);
    // Closed once only: after a failed close the descriptor is gone anyway.
    const int closed = ::close(os_->fd);
    os_->fd = -1;
    if (closed != 0)
        return failWith(errno);
    if (::rename(os_->temporary.c_str(), os_->target.c_str()) != 0)
        return failWith(errno);
    os_->temporary.clear();
    // The new file is in place; what is left is making the rename durable.
    // A folder that cannot be opened for reading, or a file system that
    // cannot sync folders (EINVAL), offers nothing more to wait for.
    const int folder = ::open(folderOf(os_->target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return errno == EACCES || failWith(errno);
    const int synced = ::fsync(folder) == 0 ? 0 : errno;
    ::close(folder);
    if (synced != 0 && synced != EINVAL)
        return failWith(synced);
    return true;
}

void ReplacementFile::fail(int number, text::MessageId why, std::vector<std::string> args) {
    if (error_)
        return;
    error_ = text::Error(why, number, fileName_, std::move(args));
    if (auto folder = folderProblem(fileName_))
        error_->withNote(std::move(*folder));
}

} // namespace logfile
