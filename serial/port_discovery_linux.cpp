#include "port_discovery.h"

#include <fstream>
#include <sys/stat.h>

namespace serial {
namespace {

SystemPorts lookAtSystem() {
    SystemPorts system;
    std::ifstream type("/sys/class/tty/ttyS0/type");
    int value = 0;
    if (type >> value)
        system.firstUartType = value;
    for (const std::string& adapter : kUsbAdapterDevices) {
        struct stat node {};
        // stat() only: opening a tty can have effects (DTR rises).
        if (::stat(adapter.c_str(), &node) == 0 && S_ISCHR(node.st_mode))
            system.adapters.push_back(adapter);
    }
    return system;
}

} // namespace

std::string deviceForPort(int number) {
    return linuxDeviceForPort(number, number == 1 ? lookAtSystem() : SystemPorts{});
}

} // namespace serial
