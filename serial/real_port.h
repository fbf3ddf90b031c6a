#pragma once
// The physical serial port behind SerialLine.
//
// The device, its settings, its exclusive hold and its line calls are the
// per-OS NativePort's (native_port.h); the three line operations and Output
// go straight to it, one system call each. Settings given while the port is
// open are kept for the next open. Output never blocks: bytes the driver's
// transmit queue cannot take are dropped, so memory stays flat however long
// the line is held up. Received bytes are never read into memory.

#include "port_discovery.h"
#include "port_settings.h"
#include "serial_line.h"

#include <functional>
#include <utility>
#include <memory>
#include <string>

namespace serial {

class NativePort;

class RealPort final : public SerialLine {
public:
    using DeviceResolver = std::function<std::string(int number)>;
    using OpenObserver = std::function<void(int number, const std::string& device)>;

    // Tests hand in a resolver that maps the port to a pseudo-terminal.
    explicit RealPort(DeviceResolver resolver = deviceForPort);
    ~RealPort() override;

    void Settings(std::string_view settings) override;
    void CommPort(int number) override;
    void PortOpen(bool open) override;
    void DTREnable(bool asserted) override;
    void RTSEnable(bool asserted) override;
    bool CDHolding() override;
    void Output(std::string_view text) override;

    // Told after each open that succeeds, so the user learns which device
    // the port number turned out to be.
    void onOpened(OpenObserver observer) { onOpened_ = std::move(observer); }

private:
    NativePort& openPort();  // throws when the port is not open

    DeviceResolver resolver_;
    PortSettings settings_;
    int number_ = 0;
    std::string device_;  // the port number's device: "/dev/ttyS0", "COM1"
    std::unique_ptr<NativePort> open_;
    OpenObserver onOpened_;
};

// What a front end says once the port is open: "port 1 is /dev/ttyUSB0".
std::string openedPortText(int number, const std::string& device);

} // namespace serial
