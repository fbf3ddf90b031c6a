// Windows: file names go to the wide API, so a Cyrillic name is saved as
// typed whatever the ANSI code page; the lines themselves are written in the
// ANSI code page, as Notepad and spreadsheets of that locale expect. The
// file is replaced by renaming a finished temporary file over it. Numbers
// are GetLastError() codes, descriptions the system's own text; a name
// Windows would take for a device or a stream is refused before anything
// is opened (text::kRefusedNameError, with the reason).

#include "replacement_file.h"

#include "busy_retry.h"
#include "encoding_windows.h"
#include "windows_file_name.h"

#include <algorithm>
#include <cstdint>

#include <windows.h>

namespace logfile {
namespace {

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string lastComponent(const std::string& fileName) {
    const auto slash = fileName.find_last_of("\\/");
    return slash == std::string::npos ? fileName : fileName.substr(slash + 1);
}

// Whether this user may add a file to the folder: only its ACL knows (the
// read-only attribute means nothing on a folder).
bool mayAddFiles(const std::string& folder) {
    const HANDLE handle = ::CreateFileW(text::toWide(folder).c_str(), FILE_ADD_FILE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return ::GetLastError() != ERROR_ACCESS_DENIED;
    ::CloseHandle(handle);
    return true;
}

// Refusals that pass once the other program lets go of the file.
bool isBusy(unsigned long code) {
    return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION || code == ERROR_ACCESS_DENIED;
}

// Access is denied for an open file and for a read-only one alike; asking
// for the file itself tells them apart.
text::MessageId whyNotReplaced(const std::wstring& target, DWORD code) {
    using enum text::MessageId;
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return FileIsFolder;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return FileReadOnly;
    if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION)
        return FileInUse;
    const HANDLE handle = ::CreateFileW(target.c_str(), DELETE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        ::CloseHandle(handle);
        return SystemFailure;
    }
    return ::GetLastError() == ERROR_SHARING_VIOLATION ? FileInUse : SystemFailure;
}

std::optional<text::Message> folderProblem(const std::string& fileName) {
    using enum text::MessageId;
    const std::string folder = windowsFolderOf(fileName);
    const DWORD attributes = ::GetFileAttributesW(text::toWide(folder).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
            return text::Message{FolderMissing, {folder}};
        return std::nullopt;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return text::Message{NotAFolder, {folder}};
    if (!mayAddFiles(folder))
        return text::Message{FolderNoPermission, {folder}};
    return std::nullopt;
}

} // namespace

const char kPathSeparator = '\\';

std::string_view toNarrow(std::string_view utf8, std::string& scratch) {
    // Every ANSI code page keeps ASCII as it is, and most entries are ASCII.
    if (isAscii(utf8))
        return utf8;
    scratch = text::toAnsiCodePage(text::toWide(utf8));
    return scratch;
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
    os_->target = text::toWide(fileName);
    // Checked before anything is opened: a device would be opened, and
    // written to, instead of a file.
    if (auto problem = windowsNameProblem(lastComponent(fileName))) {
        fail(text::kRefusedNameError, problem->id, std::move(problem->args));
        return;
    }
    // Beside the target, so the rename stays on one volume; CREATE_NEW
    // never takes over another program's file of the same name.
    const auto seed = std::uint64_t(::GetTickCount64()) ^ (std::uint64_t(::GetCurrentProcessId()) << 20);
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        os_->temporary = os_->target + L"." + std::to_wstring((seed + attempt) % 1000000) + L".tmp";
        // Normal attributes: the file keeps them when renamed, and backup
        // and sync tools pass over a file marked temporary.
        os_->file = ::CreateFileW(os_->temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (os_->file != INVALID_HANDLE_VALUE) {
            if (::GetFileType(os_->file) == FILE_TYPE_DISK)
                return;
            // Whatever this is, it is not ours to delete.
            os_->close();
            os_->temporary.clear();
            fail(text::kRefusedNameError, text::MessageId::NameLeadsToDevice);
            return;
        }
        const DWORD code = ::GetLastError();
        if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) {
            os_->temporary.clear();
            fail(int(code));
            return;
        }
    }
    os_->temporary.clear();
    fail(ERROR_FILE_EXISTS);
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
            fail(int(code));
            break;
        }
        if (written == 0) {  // would never end otherwise
            fail(ERROR_WRITE_FAULT);
            break;
        }
        bytes.remove_prefix(written);
    }
    return !error_;
}

bool ReplacementFile::commit() {
    if (error_)
        return false;
    if (!::FlushFileBuffers(os_->file) || !os_->close()) {
        const DWORD code = ::GetLastError();
        fail(int(code));
        return false;
    }
    const unsigned long code = retryWhileBusy(
        [this]() -> unsigned long {
            return ::MoveFileExW(os_->temporary.c_str(), os_->target.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                       ? 0
                       : ::GetLastError();
        },
        isBusy, [](std::chrono::milliseconds pause) { ::Sleep(DWORD(pause.count())); });
    if (code != 0) {
        fail(int(code), whyNotReplaced(os_->target, DWORD(code)));
        return false;
    }
    os_->temporary.clear();
    return true;
}

void ReplacementFile::fail(int number, text::MessageId why, std::vector<std::string> args) {
    if (error_)
        return;
    os_->discard();
    error_ = text::Error(why, number, fileName_, std::move(args));
    if (auto folder = folderProblem(fileName_))
        error_->withNote(std::move(*folder));
}

} // namespace logfile
