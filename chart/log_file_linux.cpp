#include "log_file.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace chart {
namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

FileLook lookAtFile(const std::string& path, std::uint64_t offset, std::size_t most) {
    FileLook look;
    // Only a plain file is opened at all: opening a serial port's device
    // changes its lines, and a FIFO or a terminal would never end.
    struct stat named {};
    if (::stat(path.c_str(), &named) != 0) {
        if (errno == ENOENT)
            return look;
        throw text::Error::system(errno, path);
    }
    if (!S_ISREG(named.st_mode))
        throw text::Error::system(S_ISDIR(named.st_mode) ? EISDIR : EINVAL, path);
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0) {
        if (errno == ENOENT)
            return look;
        throw text::Error::system(errno, path);
    }
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0)
        throw text::Error::system(errno, path);
    if (!S_ISREG(status.st_mode))  // put there since the stat
        throw text::Error::system(EINVAL, path);
    look.exists = true;
    look.identity = {std::uint64_t(status.st_dev), std::uint64_t(status.st_ino)};
    look.size = std::uint64_t(status.st_size);
    look.modified = std::int64_t(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    if (offset >= look.size || most == 0)
        return look;
    look.bytes.resize(std::size_t(std::min<std::uint64_t>(most, look.size - offset)));
    std::size_t got = 0;
    while (got < look.bytes.size()) {
        const ssize_t read =
            ::pread(fd.get(), look.bytes.data() + got, look.bytes.size() - got, off_t(offset + got));
        if (read < 0 && errno == EINTR)
            continue;
        if (read < 0)
            throw text::Error::system(errno, path);
        if (read == 0)
            break;  // cut shorter since the fstat
        got += std::size_t(read);
    }
    look.bytes.resize(got);
    return look;
}

} // namespace chart
