// Windows: the journal is held by its share mode. This copy opens it for
// reading, writing and deletion and lets others only read it, so another
// copy's open fails with a sharing violation until this handle is closed,
// which Windows does for a killed process too.

#include "journal_file.h"

#include "wide_text.h"

#include <windows.h>

namespace logfile {
namespace {

[[noreturn]] void fail(DWORD code) {
    throw JournalError{int(code), measure::systemErrorText(code)};
}

class WindowsJournalFile final : public JournalFile {
public:
    explicit WindowsJournalFile(HANDLE file) : file_(file) {}
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
        // Marked for deletion while still held: it goes when the handle
        // closes, and no other copy can open it in between.
        FILE_DISPOSITION_INFO dispose{};
        dispose.DeleteFile = TRUE;
        const bool marked =
            ::SetFileInformationByHandle(file_, FileDispositionInfo, &dispose, sizeof dispose);
        const DWORD error = marked ? 0 : ::GetLastError();
        ::CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
        if (!marked)
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
};

} // namespace

JournalFileOpening openJournalFile(const std::string& path) {
    const HANDLE file = ::CreateFileW(measure::toWide(path).c_str(),
                                      GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_SHARING_VIOLATION)
            return {nullptr, true};
        fail(error);
    }
    return {std::make_unique<WindowsJournalFile>(file), false};
}

} // namespace logfile
