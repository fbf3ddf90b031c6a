// Which device port 1 stands for on Linux and on Windows, decided from what
// the system lists (nothing here looks at this machine's devices).

#include "port_discovery.h"

#include <gtest/gtest.h>

using serial::ListedPort;
using serial::SystemPorts;

TEST(PortDiscovery, PortOneFollowsWhatTheSystemHas) {
    struct Case {
        const char* name;
        int uartType;  // -1: the system lists no ttyS0
        std::vector<std::string> adapters;
        const char* device;
    };
    const std::vector<std::string> none, both{"/dev/ttyUSB0", "/dev/ttyACM0"};
    const Case cases[] = {
        {"built-in UART", 4, none, "/dev/ttyS0"},
        {"built-in UART wins over an adapter", 4, both, "/dev/ttyS0"},
        {"no UART, both adapters", 0, both, "/dev/ttyUSB0"},
        {"no UART, modem-class adapter", 0, {"/dev/ttyACM0"}, "/dev/ttyACM0"},
        {"no ttyS0 listed, adapter", -1, {"/dev/ttyUSB0"}, "/dev/ttyUSB0"},
        {"nothing at all: the error names ttyS0", 0, none, "/dev/ttyS0"}};
    for (const Case& c : cases) {
        SystemPorts system;
        if (c.uartType >= 0)
            system.firstUartType = c.uartType;
        system.adapters = c.adapters;
        EXPECT_EQ(serial::linuxDeviceForPort(1, system), c.device) << c.name;
    }
}

TEST(PortDiscovery, OtherPortsAreTheirOwnUarts) {
    const SystemPorts adapterOnly{0, {"/dev/ttyUSB0"}};
    EXPECT_EQ(serial::linuxDeviceForPort(2, adapterOnly), "/dev/ttyS1");
    EXPECT_EQ(serial::linuxDeviceForPort(0, adapterOnly), "");
    EXPECT_EQ(serial::linuxDeviceForPort(-3, adapterOnly), "");
}

TEST(PortDiscovery, PortOneOnWindowsIsTheLowestListedPort) {
    struct Case {
        const char* name;
        std::vector<ListedPort> listed;
        const char* device;
    };
    const ListedPort com1{"\\Device\\Serial0", "COM1"}, com3{"\\Device\\VCP0", "COM3"},
        com10{"\\Device\\Silabser0", "COM10"}, bluetooth{"\\Device\\BthModem0", "COM2"};
    const Case cases[] = {
        {"COM1 listed", {com3, com1}, "COM1"},
        {"COM1 missing: an adapter's number", {com3}, "COM3"},
        {"compared as numbers", {com10, com3}, "COM3"},
        {"Bluetooth passed over", {bluetooth, com10}, "COM10"},
        {"nothing listed: the error names COM1", {}, "COM1"}};
    for (const Case& c : cases)
        EXPECT_EQ(serial::windowsDeviceForPort(1, c.listed), c.device) << c.name;
    EXPECT_EQ(serial::windowsDeviceForPort(2, {com3}), "COM2");
    EXPECT_EQ(serial::windowsDeviceForPort(0, {com3}), "");

    EXPECT_EQ(text::render(serial::windowsListedPortsNote({})),
              "no serial port is listed under HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM");
    EXPECT_EQ(text::render(serial::windowsListedPortsNote({bluetooth, com10})),
              "HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM lists COM2 (Bluetooth), COM10");
}
