#pragma once
// Per-OS access to an open port's handle: modem lines and raw writes, each
// one system call. native_line_linux.cpp and
// native_line_windows.cpp implement it, each mapping its own OS errors
// (errno, GetLastError) to text::Error with the device's name.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace serial {

class NativeLine {
public:
    // handle: the open descriptor (Linux) or HANDLE (Windows) of device.
    // The handle stays owned by whoever opened it and must outlive this.
    NativeLine(long long handle, std::string device);
    ~NativeLine();
    NativeLine(const NativeLine&) = delete;
    NativeLine& operator=(const NativeLine&) = delete;

    void setDtr(bool asserted);
    void setRts(bool asserted);
    bool carrier();
    // Hands bytes to the driver without waiting; returns how many it took
    // (bytes that do not fit are dropped, not queued in memory).
    std::size_t writeNoWait(std::string_view bytes);

    const std::string& device() const noexcept { return device_; }

private:
    struct OsState;  // what one OS needs between calls (Windows: the write in flight)

    long long handle_;
    std::string device_;
    std::unique_ptr<OsState> os_;
};

} // namespace serial
