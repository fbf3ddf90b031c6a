// The rules of saving on Windows, checked on every build: which names
// Windows would not take as a plain file (a device opened instead, or
// another file's stream), and how long a busy file is waited for.

#include "busy_retry.h"
#include "windows_file_name.h"

#include <algorithm>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

TEST(WindowsFileName, DevicesAndReservedCharactersAreRefusedWithTheReason) {
    const std::pair<const char*, const char*> refused[] = {
        {"COM3.txt", "\"COM3\" is the name of a device"},
        {"com3.txt.123456.tmp", "\"com3\" is the name of a device"},
        {"NUL.txt", "\"NUL\" is the name of a device"},
        {"nul .txt", "\"nul\" is the name of a device"},
        {"CON", "\"CON\" is the name of a device"},
        {"Prn.log.txt", "\"Prn\" is the name of a device"},
        {"aux.txt", "\"aux\" is the name of a device"},
        {"LPT0.txt", "\"LPT0\" is the name of a device"},
        {"lpt9.txt", "\"lpt9\" is the name of a device"},
        {"COM\xC2\xB9.txt", "is the name of a device"},
        {"LPT\xC2\xB3.txt", "is the name of a device"},
        {"a:b.txt", "cannot hold the character :"},
        {"a?.txt", "cannot hold the character ?"},
        {"<x>.txt", "cannot hold the character <"},
        {"a|b.txt", "cannot hold the character |"},
        {"\"q\".txt", "cannot hold the character \""},
        {"a*.txt", "cannot hold the character *"},
        {"tab\there.txt", "control characters"},
    };
    for (const auto& [name, reason] : refused) {
        SCOPED_TRACE(name);
        const auto problem = logfile::windowsNameProblem(name);
        ASSERT_TRUE(problem);
        EXPECT_NE(text::render(*problem).find(reason), std::string::npos) << text::render(*problem);
    }
}

TEST(WindowsFileName, NamesThatOnlyLookLikeDevicesAreFiles) {
    for (const char* name : {"database.txt", "COM10.txt", "COM.txt", "console.txt", "nul2.txt",
                             "LPT\xC2\xB9x.txt", "COM\xC2\xB4.txt", "xnul.txt",
                             "журнал.txt", "a b .txt", ".txt", "COM3x.txt"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(logfile::windowsNameProblem(name));
    }
}

// The rename's retry, seen through its seam: the real one can only be held
// up by another program.
TEST(WindowsFileName, AFolderIsWhatPrecedesTheLastSlashAndADrivesRootKeepsItsOwn) {
    EXPECT_EQ(logfile::windowsFolderOf("C:\\Users\\ann/log.txt"), "C:\\Users\\ann");
    EXPECT_EQ(logfile::windowsFolderOf("C:\\thermometer.exe"), "C:\\");
    EXPECT_EQ(logfile::windowsFolderOf("\\log.txt"), "\\");
    EXPECT_EQ(logfile::windowsFolderOf("log.txt"), ".");
}

TEST(BusyRetry, ABusyFileIsTriedAgainForAboutASecondAndNoOtherFailureWaits) {
    constexpr unsigned long kBusy = 32, kOther = 5;
    auto run = [](std::vector<unsigned long> results) {
        std::size_t calls = 0;
        std::chrono::milliseconds waited{0};
        const unsigned long code = logfile::retryWhileBusy(
            [&] { return results[std::min(calls++, results.size() - 1)]; },
            [](unsigned long c) { return c == kBusy; },
            [&](std::chrono::milliseconds pause) { waited += pause; });
        return std::tuple{code, calls, waited};
    };
    // Let go after two refusals: the rename goes through.
    EXPECT_EQ(std::get<0>(run({kBusy, kBusy, 0})), 0u);
    EXPECT_EQ(std::get<1>(run({kBusy, kBusy, 0})), 3u);
    // Never let go: given up after about a second, with the busy code.
    const auto [code, calls, waited] = run({kBusy});
    EXPECT_EQ(code, kBusy);
    EXPECT_GE(waited, std::chrono::milliseconds(900));
    EXPECT_LE(waited, std::chrono::milliseconds(1200));
    EXPECT_GE(calls, 4u);
    // Any other failure is final at once.
    EXPECT_EQ(run({kOther, 0}), std::tuple(kOther, std::size_t(1), std::chrono::milliseconds(0)));
}
