#include "keep_alive.h"

#include <string_view>

namespace serial {

void sendKeepAlive(SerialLine& line) {
    static constexpr char kTwoZeros[2] = {'\0', '\0'};
    line.Output(std::string_view(kTwoZeros, sizeof kTwoZeros));
}

} // namespace serial
