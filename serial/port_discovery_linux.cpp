#include "port_discovery.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace serial {
namespace {

// The kernel's UART type for ttyS0, a small decimal number. Plain file
// reads: a stream library here would cost the program 300 KB of memory.
std::optional<int> firstUartType() {
    const int fd = ::open("/sys/class/tty/ttyS0/type", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    char text[16] = {};
    const ssize_t length = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (length <= 0)
        return std::nullopt;
    char* end = nullptr;
    const long type = std::strtol(text, &end, 10);
    if (end == text)
        return std::nullopt;
    return static_cast<int>(type);
}

SystemPorts lookAtSystem() {
    SystemPorts system;
    system.firstUartType = firstUartType();
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
