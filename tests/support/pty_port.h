#pragma once
// A pseudo-terminal standing in for port 1, and the small helpers the
// RealPort tests share: the test holds the master as the far end of the
// line.

#include "error.h"
#include "real_port.h"

#include <fcntl.h>
#include <memory>
#include <stdlib.h>
#include <string>
#include <string_view>
#include <unistd.h>

namespace pty_port {

using PortError = text::Error;
using serial::RealPort;

struct Pty {
    int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    std::string slave;

    Pty() {
        if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0)
            slave = ::ptsname(master);
    }
    ~Pty() { ::close(master); }
    bool ok() const { return slave.rfind("/dev/pts/", 0) == 0; }  // never a real serial port

    RealPort::DeviceResolver resolver() const {
        return [slave = slave](int number) { return number == 1 ? slave : std::string(); };
    }
    std::string drain() const {
        std::string bytes;
        char chunk[4096];
        for (ssize_t n; (n = ::read(master, chunk, sizeof chunk)) > 0;)
            bytes.append(chunk, static_cast<std::size_t>(n));
        return bytes;
    }
};

inline std::unique_ptr<RealPort> openOn(const Pty& pty, std::string_view settings = "1200,N,8,1") {
    auto port = std::make_unique<RealPort>(pty.resolver());
    port->Settings(settings);
    port->CommPort(1);
    port->PortOpen(true);
    return port;
}

template <typename Call>
PortError failureOf(Call call) {
    try {
        call();
    } catch (const PortError& error) {
        return error;
    }
    return PortError(text::MessageId::SystemFailure, 0, "");
}

inline bool says(const PortError& error, const char* words) {
    return text::reportLine(error).find(words) != std::string::npos;
}

// Each line operation of the port, in turn, made to fail.
template <typename Check>
void forEachLineOperation(RealPort& port, Check check) {
    check(failureOf([&] { port.DTREnable(true); }));
    check(failureOf([&] { port.RTSEnable(false); }));
    check(failureOf([&] { port.CDHolding(); }));
}

inline constexpr std::string_view kTwoZeros("\0\0", 2);

} // namespace pty_port
