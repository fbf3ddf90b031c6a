// Placeholder until the port code lands.
#include "real_port.h"
#include "native_line.h"
#include "port_error.h"
#include <QSerialPort>
namespace serial {
std::string deviceForPort(int number) { return number >= 1 ? "/dev/ttyS" + std::to_string(number - 1) : std::string(); }
RealPort::RealPort(DeviceResolver resolver) : resolver_(std::move(resolver)) {}
RealPort::~RealPort() = default;
void RealPort::Settings(std::string_view) {}
void RealPort::CommPort(int) {}
void RealPort::PortOpen(bool) { throw PortError(2, "not yet", device_); }
void RealPort::DTREnable(bool) {}
void RealPort::RTSEnable(bool) {}
bool RealPort::CDHolding() { return false; }
void RealPort::Output(std::string_view) {}
}
