#pragma once
// Which device a port number stands for.
//
// Port 1 on Linux is /dev/ttyS0 when the system reports a UART behind it.
// Most PCs today have no built-in serial port and use a USB adapter, so
// otherwise port 1 is the first adapter present: /dev/ttyUSB0, then
// /dev/ttyACM0. With neither, it stays /dev/ttyS0, which the open error
// then names. Port n > 1 is /dev/ttyS<n-1>.
//
// Port 1 on Windows is COM1 when the system lists it, otherwise the
// lowest-numbered COM port the system lists (an adapter gets whatever
// number Windows gave it: COM3, COM7, ...); Bluetooth serial ports are
// passed over, since opening one can hang for seconds while it looks for
// its partner. With none listed it stays COM1, and the open error says
// nothing is listed. Port n > 1 is COMn.
//
// Looking never opens a device: only sysfs and the device nodes' existence
// (Linux) or the registry's list of ports (Windows) are consulted.

#include "message.h"

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

// One value of Windows' list of serial ports: its name is the driver's
// device ("\Device\Serial0", "\Device\BthModem0"), its data the port's
// name ("COM1").
struct ListedPort {
    std::string driverDevice;
    std::string name;
};

inline constexpr const char* kWindowsPortList = "HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM";

// The decisions themselves, apart from the looking.
std::string linuxDeviceForPort(int number, const SystemPorts& system);
std::string windowsDeviceForPort(int number, const std::vector<ListedPort>& listed);

// What Windows lists, for an open that found no such device:
// "no serial port is listed under HKLM\...\SERIALCOMM", or
// "HKLM\...\SERIALCOMM lists COM3, COM5 (Bluetooth)".
text::Message windowsListedPortsNote(const std::vector<ListedPort>& listed);

// Looks at this system (per-OS file); empty for a number below 1.
std::string deviceForPort(int number);

// Windows only: windowsListedPortsNote() of this system.
text::Message listedPortsNote();

} // namespace serial
