// Windows: file names go to the wide API, so a Cyrillic name is saved as
// typed whatever the ANSI code page; the lines themselves are written in the
// ANSI code page, as Notepad and spreadsheets of that locale expect. The
// file is replaced by renaming a finished temporary file over it. Numbers
// are GetLastError() codes, descriptions the system's own text.

#include "file_system.h"

#include "wide_text.h"

#include <algorithm>
#include <cstdint>

#include <windows.h>

namespace logfile {
namespace {

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Windows takes either slash. A drive's root keeps its backslash: "C:" alone
// would be the current folder on drive C.
std::string folderOf(const std::string& fileName) {
    const auto slash = fileName.find_last_of("\\/");
    if (slash == std::string::npos)
        return ".";
    if (slash == 0 || (slash == 2 && fileName[1] == ':'))
        return fileName.substr(0, slash + 1);
    return fileName.substr(0, slash);
}

} // namespace

const char kPathSeparator = '\\';

std::string_view toNarrow(std::string_view utf8, std::string& scratch) {
    // Every ANSI code page keeps ASCII as it is, and most entries are ASCII.
    if (isAscii(utf8))
        return utf8;
    scratch = measure::toAnsiCodePage(measure::toWide(utf8));
    return scratch;
}

std::string folderProblem(const std::string& fileName) {
    const std::string folder = folderOf(fileName);
    const DWORD attributes = ::GetFileAttributesW(measure::toWide(folder).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
            return "the folder " + folder + " does not exist";
        return {};
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return folder + " is not a folder";
    // Whether this user may write there only the ACLs know; a refusal then
    // arrives as the system's own "Access is denied".
    return {};
}

struct ReplacementFile::Os {
    std::wstring target;
    std::wstring temporary;  // empty once renamed or removed
    HANDLE file = INVALID_HANDLE_VALUE;

    bool close() {
        const bool closed = file == INVALID_HANDLE_VALUE || ::CloseHandle(file);
        file = INVALID_HANDLE_VALUE;
        return closed;
    }

    void discard() {
        close();
        if (!temporary.empty())
            ::DeleteFileW(temporary.c_str());
        temporary.clear();
    }
};

ReplacementFile::ReplacementFile(const std::string& fileName)
    : fileName_(fileName), os_(std::make_unique<Os>()) {
    os_->target = measure::toWide(fileName);
    // Beside the target, so the rename stays on one volume; CREATE_NEW
    // never takes over another program's file of the same name.
    const auto seed = std::uint64_t(::GetTickCount64()) ^ (std::uint64_t(::GetCurrentProcessId()) << 20);
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        os_->temporary = os_->target + L"." + std::to_wstring((seed + attempt) % 1000000) + L".tmp";
        os_->file = ::CreateFileW(os_->temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_TEMPORARY, nullptr);
        if (os_->file != INVALID_HANDLE_VALUE)
            return;
        const DWORD code = ::GetLastError();
        if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) {
            os_->temporary.clear();
            fail(int(code), measure::systemErrorText(code));
            return;
        }
    }
    os_->temporary.clear();
    fail(ERROR_FILE_EXISTS, measure::systemErrorText(ERROR_FILE_EXISTS));
}

ReplacementFile::~ReplacementFile() {
    os_->discard();  // nothing left once committed; the old file stays otherwise
}

bool ReplacementFile::write(std::string_view bytes) {
    while (!error_ && !bytes.empty()) {
        const DWORD chunk = DWORD(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(os_->file, bytes.data(), chunk, &written, nullptr)) {
            const DWORD code = ::GetLastError();
            fail(int(code), measure::systemErrorText(code));
            break;
        }
        if (written == 0) {  // would never end otherwise
            fail(ERROR_WRITE_FAULT, measure::systemErrorText(ERROR_WRITE_FAULT));
            break;
        }
        bytes.remove_prefix(written);
    }
    return !error_;
}

bool ReplacementFile::commit() {
    if (error_)
        return false;
    if (!::FlushFileBuffers(os_->file) || !os_->close() ||
        !::MoveFileExW(os_->temporary.c_str(), os_->target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD code = ::GetLastError();
        fail(int(code), measure::systemErrorText(code));
        return false;
    }
    os_->temporary.clear();
    return true;
}

void ReplacementFile::fail(int number, std::string description) {
    if (error_)
        return;
    os_->discard();
    error_ = SaveError{fileName_, number > 0 ? number : -1, std::move(description),
                       folderProblem(fileName_)};
}

} // namespace logfile
