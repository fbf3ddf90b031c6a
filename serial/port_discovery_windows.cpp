#include "port_discovery.h"

namespace serial {

std::string deviceForPort(int number) {
    if (number < 1)
        return {};
    return "COM" + std::to_string(number);
}

} // namespace serial
