// Linux: the journal is held with flock(), which another copy's
// LOCK_NB attempt finds taken, and which the kernel drops with the last
// descriptor, so a killed copy never leaves it held.

#include "journal_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace logfile {
namespace {

[[noreturn]] void fail(int error) {
    throw text::Error::system(error, {});
}

class PosixJournalFile final : public JournalFile {
public:
    PosixJournalFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~PosixJournalFile() override {
        if (fd_ >= 0)
            ::close(fd_);
    }

    std::string readAll() override {
        std::string content;
        char chunk[65536];
        for (off_t at = 0;;) {
            const ssize_t got = ::pread(fd_, chunk, sizeof chunk, at);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                fail(errno);
            if (got == 0)
                return content;
            content.append(chunk, std::size_t(got));
            at += got;
        }
    }

    void truncate(std::uint64_t size) override {
        if (::ftruncate(fd_, off_t(size)) != 0)
            fail(errno);
    }

    void append(std::string_view bytes) override {
        // O_APPEND: every write lands at the current end of the file.
        while (!bytes.empty()) {
            const ssize_t put = ::write(fd_, bytes.data(), bytes.size());
            if (put < 0 && errno == EINTR)
                continue;
            if (put < 0)
                fail(errno);
            bytes.remove_prefix(std::size_t(put));
        }
    }

    void sync() override {
        if (::fdatasync(fd_) != 0)
            fail(errno);
    }

    void remove() override {
        // Unlinked while still held, so no other copy can take it between.
        const int error = ::unlink(path_.c_str()) == 0 ? 0 : errno;
        ::close(fd_);
        fd_ = -1;
        if (error != 0 && error != ENOENT)
            fail(error);
    }

private:
    int fd_;
    std::string path_;
};

} // namespace

JournalFileOpening openJournalFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        fail(errno);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            return {nullptr, true};
        fail(error);
    }
    return {std::make_unique<PosixJournalFile>(fd, path), false};
}

} // namespace logfile
