// Saving the list on Linux: UTF-8 lines, a disk that fills part-way, and a
// disk that refuses to sync.

#include "entries.h"
#include "save_list.h"
#include "scratch_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Caps the size of any file this process writes, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit cap = old_;
        cap.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &cap);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int);
};

// Syncs of files whose path ends with `suffix` fail with EIO, while
// tests/support/fail_fsync.c is preloaded (the test core_tests_failing_sync).
class RefusedSync {
public:
    explicit RefusedSync(const std::string& suffix) { setenv("FAIL_FSYNC_SUFFIX", suffix.c_str(), 1); }
    ~RefusedSync() { unsetenv("FAIL_FSYNC_SUFFIX"); }

    static bool available(const ScratchDir& dir) {
        RefusedSync refused(".probe");
        const int fd = open(dir.file("x.probe").c_str(), O_WRONLY | O_CREAT, 0600);
        const bool failed = fsync(fd) != 0 && errno == EIO;
        close(fd);
        unlink(dir.file("x.probe").c_str());
        return failed;
    }
};

} // namespace

TEST(SaveListLinux, TextsAreWrittenInUtf8) {
    ScratchDir dir;
    const std::string name = dir.file("x.txt");
    EXPECT_EQ(logfile::SaveList(name, Entries{{"25    14:03:07 ч"}}), std::nullopt);
    EXPECT_EQ(fileBytes(name), "25    14:03:07 \xd1\x87\r\n");
}

TEST(SaveListLinux, AWriteFailingPartWayLeavesTheOldFileIntact) {
    ScratchDir dir;
    const std::string name = dir.file("database.txt");
    writeBytes(name, "earlier run\r\n");
    Entries many;
    std::size_t bytes = 0;
    for (int i = 0; i < 100000; ++i) {
        many.items.push_back(std::to_string(i % 500 - 273) + "    14:03:07");
        bytes += many.items.back().size() + 2;
    }
    std::optional<text::Error> error;
    {
        FileSizeLimit fullDisk(4096);
        error = logfile::SaveList(name, many);
    }
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), EFBIG);
    EXPECT_EQ(fileBytes(name), "earlier run\r\n");
    EXPECT_EQ(dir.fileNames(), std::vector<std::string>{"database.txt"});
    // With room again, the same list goes through whole.
    EXPECT_EQ(logfile::SaveList(name, many), std::nullopt);
    EXPECT_EQ(fileBytes(name).size(), bytes);
}

TEST(SaveListLinux, ASyncTheDiskRefusesIsAFailedSave) {
    ScratchDir dir;
    if (!RefusedSync::available(dir))
        GTEST_SKIP() << "runs under the fsync preload (ctest core_tests_failing_sync)";
    const std::string name = dir.file("database.txt");
    writeBytes(name, "earlier run\r\n");
    const Entries entries{{"25    14:03:07"}};

    std::optional<text::Error> error;
    {
        RefusedSync refused(".tmp");  // the new file's own sync
        error = logfile::SaveList(name, entries);
    }
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), EIO);
    EXPECT_EQ(error->subject(), name);
    EXPECT_EQ(fileBytes(name), "earlier run\r\n");
    EXPECT_EQ(dir.fileNames(), std::vector<std::string>{"database.txt"});

    {
        RefusedSync refused(fromUtf8(dir.path()).filename().string());  // the folder's, after the rename
        error = logfile::SaveList(name, entries);
    }
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), EIO);
    EXPECT_EQ(dir.fileNames(), std::vector<std::string>{"database.txt"});
}
