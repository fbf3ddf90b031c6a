// Windows: replacing a log file that another program holds open. The
// rename is tried for about a second; a file let go meanwhile is replaced,
// one held throughout is named as open elsewhere and stays as it was.

#include "encoding_windows.h"
#include "entries.h"
#include "save_list.h"
#include "scratch_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <windows.h>

namespace {

// The file open as an editor holds it: others may read it, not delete it.
HANDLE holdOpen(const std::string& name) {
    return ::CreateFileW(text::toWide(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

TEST(SaveListWindows, AFileHeldOpenIsWaitedForThenNamedAsOpenElsewhere) {
    ScratchDir dir;
    const std::string name = dir.file("database.txt");
    writeBytes(name, "old\r\n");

    HANDLE held = holdOpen(name);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread letGo([held] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ::CloseHandle(held);
    });
    EXPECT_EQ(logfile::SaveList(name, Entries{{"25    14:03:07"}}), std::nullopt);
    letGo.join();
    EXPECT_EQ(fileBytes(name), "25    14:03:07\r\n");
    const DWORD attributes = ::GetFileAttributesW(text::toWide(name).c_str());
    EXPECT_EQ(attributes & FILE_ATTRIBUTE_TEMPORARY, 0u) << "the saved file is not marked temporary";

    held = holdOpen(name);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const auto start = std::chrono::steady_clock::now();
    const auto error = logfile::SaveList(name, Entries{{"26    14:03:08"}});
    const auto waited = std::chrono::steady_clock::now() - start;
    ::CloseHandle(held);
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(text::reportLine(*error).find("open in another program"), std::string::npos)
        << text::reportLine(*error);
    EXPECT_GE(waited, std::chrono::milliseconds(900));
    EXPECT_LE(waited, std::chrono::milliseconds(3000));
    EXPECT_EQ(fileBytes(name), "25    14:03:07\r\n");
    EXPECT_EQ(dir.fileNames(), std::vector<std::string>{"database.txt"}) << "no temporary file left";
}
