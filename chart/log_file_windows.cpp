#include "log_file.h"

#include "encoding_windows.h"
#include "windows_file_name.h"

#include <windows.h>

#include <algorithm>

namespace chart {
namespace {

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() {
        if (handle_ != INVALID_HANDLE_VALUE)
            ::CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

} // namespace

FileLook lookAtFile(const std::string& path, std::uint64_t offset, std::size_t most) {
    FileLook look;
    // A name Windows takes for a device (COM1, NUL, \\.\...) is not opened at
    // all: opening a serial port changes its lines.
    const std::string_view name = std::string_view(path).substr(path.find_last_of("\\/") + 1);
    if (const auto problem = logfile::windowsNameProblem(name))
        throw text::Error(problem->id, text::kRefusedNameError, path, problem->args);
    if (path.rfind("\\\\.\\", 0) == 0 || path.rfind("//./", 0) == 0)
        throw text::Error(text::MessageId::NameLeadsToDevice, text::kRefusedNameError, path);
    const Handle file(::CreateFileW(text::toWide(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        // A file deleted while another handle still holds it refuses new
        // opens until that handle closes: for the chart it is gone already.
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_DELETE_PENDING)
            return look;
        throw text::Error::system(int(error), path);
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(file.get(), &information))
        throw text::Error::system(int(::GetLastError()), path);
    if (::GetFileType(file.get()) != FILE_TYPE_DISK)
        throw text::Error::system(ERROR_INVALID_FUNCTION, path);
    look.exists = true;
    look.identity = {information.dwVolumeSerialNumber,
                     (std::uint64_t(information.nFileIndexHigh) << 32) | information.nFileIndexLow};
    look.size = (std::uint64_t(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
    look.modified = std::int64_t((std::uint64_t(information.ftLastWriteTime.dwHighDateTime) << 32) |
                                 information.ftLastWriteTime.dwLowDateTime);
    if (offset >= look.size || most == 0)
        return look;
    look.bytes.resize(std::size_t(std::min<std::uint64_t>(most, look.size - offset)));
    LARGE_INTEGER from{};
    from.QuadPart = LONGLONG(offset);
    if (!::SetFilePointerEx(file.get(), from, nullptr, FILE_BEGIN))
        throw text::Error::system(int(::GetLastError()), path);
    std::size_t got = 0;
    while (got < look.bytes.size()) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), look.bytes.data() + got, DWORD(look.bytes.size() - got), &read, nullptr))
            throw text::Error::system(int(::GetLastError()), path);
        if (read == 0)
            break;  // cut shorter since the size was read
        got += read;
    }
    look.bytes.resize(got);
    return look;
}

} // namespace chart
