// The program's folder found inside the user's temporary folder, however
// the path is spelled, and not a folder that only begins alike.

#include "encoding_windows.h"
#include "temporary_folder.h"

#include <gtest/gtest.h>

#include <windows.h>

TEST(TemporaryFolder, InsideHoweverSpelledButNotASiblingOfTheSameStem) {
    wchar_t temp[MAX_PATH + 1]{};
    ASSERT_GT(::GetTempPathW(MAX_PATH + 1, temp), 0u);
    std::wstring folder(temp);
    while (folder.back() == L'\\')
        folder.pop_back();
    const std::string utf8 = text::toUtf8(folder);
    ::CreateDirectoryW((folder + L"\\unpacked").c_str(), nullptr);

    EXPECT_TRUE(win32ui::isInTemporaryFolder(utf8));
    EXPECT_TRUE(win32ui::isInTemporaryFolder(utf8 + "\\unpacked"));
    std::wstring upper = folder + L"\\UNPACKED\\";
    ::CharUpperBuffW(upper.data(), DWORD(upper.size()));
    EXPECT_TRUE(win32ui::isInTemporaryFolder(text::toUtf8(upper)));
    wchar_t shortName[MAX_PATH]{};
    if (::GetShortPathNameW((folder + L"\\unpacked").c_str(), shortName, MAX_PATH) > 0)
        EXPECT_TRUE(win32ui::isInTemporaryFolder(text::toUtf8(shortName)));
    EXPECT_TRUE(win32ui::temporaryFolderWarning(utf8 + "\\unpacked").has_value());

    EXPECT_FALSE(win32ui::isInTemporaryFolder(utf8 + "2"));
    EXPECT_FALSE(win32ui::isInTemporaryFolder("C:\\"));
    EXPECT_FALSE(win32ui::temporaryFolderWarning("C:\\Program Files\\thermometer").has_value());
    ::RemoveDirectoryW((folder + L"\\unpacked").c_str());
}
