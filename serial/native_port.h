#pragma once
// The serial device itself, as the OS offers it: opened exclusively and
// configured with the given settings and no flow control of any kind, so that
// DTR and RTS belong to the converter alone; then its modem lines and writes,
// one system call each. Received bytes are never read.
//
// native_port_linux.cpp opens it with open() and termios, native_port_windows.cpp
// with CreateFileW and a DCB. Each maps its own OS's refusals (errno,
// GetLastError) to text::Error with the device's name: no such port, port in
// use by another program (which Windows answers as "access denied"), no
// permission for the port (Linux), anything else with the system's text.

#include "port_settings.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace serial {

class NativePort {
public:
    // Throws text::Error when the device cannot be had; nothing stays held then.
    static std::unique_ptr<NativePort> open(const std::string& device, const PortSettings& settings);

    // Closes the device and lets go of the exclusive hold.
    ~NativePort();
    NativePort(const NativePort&) = delete;
    NativePort& operator=(const NativePort&) = delete;

    void setDtr(bool asserted);
    void setRts(bool asserted);
    bool carrier();
    // Hands bytes to the driver without waiting; returns how many it took
    // (bytes that do not fit are dropped, not queued in memory).
    std::size_t writeNoWait(std::string_view bytes);

private:
    struct Os;  // the OS's handle and what it needs between calls

    NativePort(std::string device, std::unique_ptr<Os> os);

    std::string device_;
    std::unique_ptr<Os> os_;
};

} // namespace serial
