// Saving the list: exact bytes, file names, and that a failure costs
// nothing that was there before.

#include "entries.h"
#include "file_names.h"
#include "replacement_file.h"
#include "save_list.h"
#include "scratch_dir.h"

#include <gtest/gtest.h>

namespace {

std::string inFolder(const ScratchDir& dir, const std::string& typed) {
    return logfile::logFileName(dir.path(), typed);
}

} // namespace

TEST(SaveList, EachEntryBecomesOneCrLfLine) {
    ScratchDir dir;
    const std::string name = dir.file("database.txt");
    EXPECT_EQ(logfile::SaveList(name, Entries{{"25    14:03:07", "-6    14:03:08", "235    02:03:09 PM"}}),
              std::nullopt);
    EXPECT_EQ(fileBytes(name), "25    14:03:07\r\n-6    14:03:08\r\n235    02:03:09 PM\r\n");
}

TEST(SaveList, AnEmptyListLeavesAnEmptyFileInPlaceOfTheOld) {
    ScratchDir dir;
    const std::string name = dir.file("database.txt");
    writeBytes(name, "old contents\r\n");
    EXPECT_EQ(logfile::SaveList(name, Entries{}), std::nullopt);
    EXPECT_EQ(fileBytes(name), "");
}

TEST(SaveList, TheNameIsTakenAsTyped) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ".txt"}, {"log.txt", "log.txt.txt"}, {"журнал", "журнал.txt"}, {" a b ", " a b .txt"}};
    for (const auto& [typed, file] : cases) {
        SCOPED_TRACE(typed);
        ScratchDir dir;
        const std::string name = inFolder(dir, typed);
        EXPECT_EQ(name, dir.path() + logfile::kPathSeparator + file);
        EXPECT_EQ(logfile::SaveList(name, Entries{{"1    00:00:01"}}), std::nullopt);
        EXPECT_EQ(dir.fileNames(), std::vector<std::string>{file});
        EXPECT_EQ(fileBytes(name), "1    00:00:01\r\n");
    }
}

TEST(SaveList, AnUnwritableTargetIsReportedWithItsReason) {
    for (const std::string& typed : {std::string("no such dir/log"), std::string(300, 'n')}) {
        ScratchDir dir;
        const std::string name = inFolder(dir, typed);
        const auto error = logfile::SaveList(name, Entries{{"25    14:03:07"}});
        ASSERT_TRUE(error) << typed;
        EXPECT_EQ(error->subject(), name);
        EXPECT_NE(error->number(), 0);
        EXPECT_NE(text::reportLine(*error).find(name), std::string::npos);
        EXPECT_TRUE(dir.fileNames().empty());
    }
}

TEST(SaveList, AMissingFolderIsNamedAsTheTrouble) {
    ScratchDir dir;
    const std::string folder = dir.file("gone");
    const auto error = logfile::SaveList(folder + logfile::kPathSeparator + "log.txt", Entries{});
    ASSERT_TRUE(error);
    EXPECT_NE(text::reportLine(*error).find("; the folder " + folder + " does not exist ("), std::string::npos)
        << text::reportLine(*error);
}
