// Which device port 1 stands for on Linux, decided from what the system
// lists (nothing here looks at this machine's devices).

#include "port_discovery.h"

#include <gtest/gtest.h>

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
