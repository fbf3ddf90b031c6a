#pragma once
// The per-OS half of RealPort: a serial device opened exclusively, configured
// with the given settings and with no flow control of any kind, so that DTR
// and RTS belong to the converter alone. Its modem lines and writes are
// reached through line().
//
// port_device_qt.cpp (Linux) opens through Qt Serial Port, which also takes
// the device's lock file; port_device_windows.cpp opens through CreateFileW.
// Each maps its own OS's refusals to text::Error: no such port, port in use by
// another program, access denied, anything else with the system's own text.

#include "native_line.h"
#include "port_settings.h"

#include <memory>
#include <string>

namespace serial {

class PortDevice {
public:
    // Throws text::Error when the device cannot be had; nothing stays held then.
    static std::unique_ptr<PortDevice> open(const std::string& device, const PortSettings& settings);

    virtual ~PortDevice() = default;

    // New settings on the open device; throws text::Error, leaving the line
    // on the settings last applied.
    virtual void apply(const PortSettings& settings) = 0;
    virtual NativeLine& line() = 0;

protected:
    PortDevice() = default;
    PortDevice(const PortDevice&) = delete;
    PortDevice& operator=(const PortDevice&) = delete;
};

} // namespace serial
