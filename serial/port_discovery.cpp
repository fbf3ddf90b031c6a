#include "port_discovery.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>

namespace serial {
namespace {

// The number of a port named "COM<n>" (any case), or 0 for any other name.
int comNumber(const std::string& name) {
    if (name.size() < 4 || !std::equal(name.begin(), name.begin() + 3, "COM",
                                       [](char a, char b) { return std::toupper(a) == b; }))
        return 0;
    int number = 0;
    const char* end = name.data() + name.size();
    const auto [ptr, ec] = std::from_chars(name.data() + 3, end, number);
    return ec == std::errc() && ptr == end && number > 0 ? number : 0;
}

bool isBluetooth(const std::string& driverDevice) {
    constexpr std::string_view kPrefix = "\\Device\\BthModem";
    return driverDevice.size() >= kPrefix.size() &&
           std::equal(kPrefix.begin(), kPrefix.end(), driverDevice.begin(),
                      [](char a, char b) { return std::tolower(a) == std::tolower(b); });
}

} // namespace

std::string linuxDeviceForPort(int number, const SystemPorts& system) {
    if (number < 1)
        return {};
    if (number > 1)
        return "/dev/ttyS" + std::to_string(number - 1);
    if (system.firstUartType.value_or(0) != 0)
        return "/dev/ttyS0";
    for (const std::string& adapter : kUsbAdapterDevices) {
        if (std::find(system.adapters.begin(), system.adapters.end(), adapter) != system.adapters.end())
            return adapter;
    }
    return "/dev/ttyS0";
}

std::string windowsDeviceForPort(int number, const std::vector<ListedPort>& listed) {
    if (number < 1)
        return {};
    if (number > 1)
        return "COM" + std::to_string(number);
    // Lowest number first, so COM1 wins whenever it is listed.
    int lowest = INT_MAX;
    for (const ListedPort& port : listed) {
        const int n = comNumber(port.name);
        if (n > 0 && !isBluetooth(port.driverDevice))
            lowest = std::min(lowest, n);
    }
    return "COM" + std::to_string(lowest == INT_MAX ? 1 : lowest);
}

text::Message windowsListedPortsNote(const std::vector<ListedPort>& listed) {
    if (listed.empty())
        return {text::MessageId::NoPortsListed, {kWindowsPortList}};
    std::string names;
    for (std::size_t i = 0; i < listed.size(); ++i) {
        names += (i ? ", " : "") + listed[i].name;
        if (isBluetooth(listed[i].driverDevice))
            names += " (Bluetooth)";
    }
    return {text::MessageId::PortsListed, {kWindowsPortList, names}};
}

} // namespace serial
