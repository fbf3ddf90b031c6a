#pragma once
// Which device a port number stands for.
//
// Port 1 on Linux is /dev/ttyS0 when the system reports a UART behind it.
// Most PCs today have no built-in serial port and use a USB adapter, so
// otherwise port 1 is the first adapter present: /dev/ttyUSB0, then
// /dev/ttyACM0. With neither, it stays /dev/ttyS0, which the open error
// then names. Port n > 1 is /dev/ttyS<n-1>. On Windows port n is COMn.
//
// Looking never opens a device: only sysfs and the device nodes' existence
// are consulted.

#include <optional>
#include <string>
#include <vector>

namespace serial {

// What the system shows of its serial ports.
struct SystemPorts {
    // The UART type the kernel reports for ttyS0 (0: no UART behind it);
    // empty when the system lists no ttyS0 at all.
    std::optional<int> firstUartType;
    // Those of the USB adapters' device nodes that exist, e.g. "/dev/ttyACM0".
    std::vector<std::string> adapters;
};

inline const std::vector<std::string> kUsbAdapterDevices{"/dev/ttyUSB0", "/dev/ttyACM0"};

// The decision itself, apart from the looking.
std::string linuxDeviceForPort(int number, const SystemPorts& system);

// Looks at this system (per-OS file); empty for a number below 1.
std::string deviceForPort(int number);

} // namespace serial
