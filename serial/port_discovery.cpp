#include "port_discovery.h"

#include <algorithm>

namespace serial {

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

} // namespace serial
