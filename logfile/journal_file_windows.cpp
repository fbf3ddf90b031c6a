// Windows: the journal is held by its share mode. This copy opens it for
// reading and writing and lets others only read or delete it, so another
// copy's open for writing fails with a sharing violation until this handle
// is closed, which Windows does for a killed process too. Holding no
// DELETE access ourselves keeps it readable by programs that do not share
// deletion, such as an editor.

#include "journal_file.h"

#include "encoding_windows.h"

#include <windows.h>

namespace logfile {
namespace {

[[noreturn]] void fail(DWORD code) {
    throw text::Error::system(int(code), {});
}

class WindowsJournalFile final : public JournalFile {
public:
    WindowsJournalFile(HANDLE file, std::wstring path) : file_(file), path_(std::move(path)) {}
    ~WindowsJournalFile() override {
        if (file_ != INVALID_HANDLE_VALUE)
            ::CloseHandle(file_);
    }

    std::string readAll() override {
        std::string content;
        seek(0, FILE_BEGIN);
        char chunk[65536];
        for (;;) {
            DWORD got = 0;
            if (!::ReadFile(file_, chunk, sizeof chunk, &got, nullptr))
                fail(::GetLastError());
            if (got == 0)
                return content;
            content.append(chunk, got);
        }
    }

    void truncate(std::uint64_t size) override {
        seek(std::int64_t(size), FILE_BEGIN);
        if (!::SetEndOfFile(file_))
            fail(::GetLastError());
    }

    void append(std::string_view bytes) override {
        seek(0, FILE_END);
        while (!bytes.empty()) {
            DWORD put = 0;
            if (!::WriteFile(file_, bytes.data(), DWORD(bytes.size()), &put, nullptr))
                fail(::GetLastError());
            bytes.remove_prefix(put);
        }
    }

    void sync() override {
        if (!::FlushFileBuffers(file_))
            fail(::GetLastError());
    }

    void remove() override {
        // Deleted while still held: the name goes when the handle closes,
        // and no other copy can open it in between.
        const bool deleted = ::DeleteFileW(path_.c_str());
        const DWORD error = deleted ? 0 : ::GetLastError();
        ::CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
        if (!deleted && error != ERROR_FILE_NOT_FOUND)
            fail(error);
    }

private:
    void seek(std::int64_t offset, DWORD from) {
        LARGE_INTEGER distance{};
        distance.QuadPart = offset;
        if (!::SetFilePointerEx(file_, distance, nullptr, from))
            fail(::GetLastError());
    }

    HANDLE file_;
    std::wstring path_;
};

} // namespace

JournalFileOpening openJournalFile(const std::string& path) {
    std::wstring widePath = text::toWide(path);
    const HANDLE file = ::CreateFileW(widePath.c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_SHARING_VIOLATION)
            return {nullptr, true};
        fail(error);
    }
    return {std::make_unique<WindowsJournalFile>(file, std::move(widePath)), false};
}

} // namespace logfile
