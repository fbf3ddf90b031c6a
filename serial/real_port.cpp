// RealPort: Qt Serial Port opens and configures; the read cycle's calls, a
// thousand a second, go to the native handle through NativeLine.

#include "real_port.h"

#include "native_line.h"
#include "port_error.h"

#include <QSerialPort>
#include <QString>

#include <cstdint>
#include <type_traits>
#include <utility>

namespace serial {
namespace {

QSerialPort::Parity qtParity(Parity parity) {
    switch (parity) {
    case Parity::None: return QSerialPort::NoParity;
    case Parity::Even: return QSerialPort::EvenParity;
    case Parity::Odd: return QSerialPort::OddParity;
    case Parity::Mark: return QSerialPort::MarkParity;
    case Parity::Space: return QSerialPort::SpaceParity;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits qtStopBits(StopBits stopBits) {
    switch (stopBits) {
    case StopBits::One: return QSerialPort::OneStop;
    case StopBits::OneAndHalf: return QSerialPort::OneAndHalfStop;
    case StopBits::Two: return QSerialPort::TwoStop;
    }
    return QSerialPort::OneStop;
}

// On a closed port the values are kept for the open; on an open one each
// takes effect at once. Flow control stays off: DTR and RTS belong to the
// converter, and nothing else may move them.
bool applySettings(QSerialPort& port, const PortSettings& settings) {
    return port.setBaudRate(settings.baud) && port.setParity(qtParity(settings.parity)) &&
           port.setDataBits(static_cast<QSerialPort::DataBits>(settings.dataBits)) &&
           port.setStopBits(qtStopBits(settings.stopBits)) &&
           port.setFlowControl(QSerialPort::NoFlowControl);
}

// QSerialPort::Handle is an int on Unix and a pointer on Windows.
template <typename Handle>
long long nativeHandle(Handle handle) {
    if constexpr (std::is_pointer_v<Handle>)
        return static_cast<long long>(reinterpret_cast<std::intptr_t>(handle));
    else
        return static_cast<long long>(handle);
}

PortError openError(const QSerialPort& port, const std::string& device) {
    const int number = static_cast<int>(port.error());
    const std::string reason = port.errorString().toStdString();
    switch (port.error()) {
    case QSerialPort::DeviceNotFoundError:
        return PortError(number, "No such device: the port does not exist (" + reason + ")", device);
    case QSerialPort::PermissionError:
        // Qt says "permission error" for a lock file held by another program
        // and for a port opened exclusively elsewhere, not only for rights.
        if (NativeLine::accessDenied(device))
            return PortError(number, "Access to the port is denied (" + reason + ")", device);
        return PortError(number, "Port is busy: in use by another program (" + reason + ")", device);
    default:
        return PortError(number, "Cannot open the port: " + reason, device);
    }
}

} // namespace

RealPort::RealPort(DeviceResolver resolver)
    : resolver_(std::move(resolver)), settings_(*parsePortSettings("9600,N,8,1")) {}

RealPort::~RealPort() {
    PortOpen(false);
}

void RealPort::Settings(std::string_view settings) {
    const auto parsed = parsePortSettings(settings);
    if (!parsed)
        throw PortError(kInvalidSettingsError,
                        "Invalid port settings \"" + std::string(settings) + "\"", device_);
    if (line_ && !applySettings(*qtPort_, *parsed)) {
        PortError error(static_cast<int>(qtPort_->error()),
                        "Cannot apply port settings \"" + std::string(settings) +
                            "\": " + qtPort_->errorString().toStdString(),
                        device_);
        // Part of the new values may be on the line already; put back the
        // ones still in force so the line matches what was last accepted.
        applySettings(*qtPort_, settings_);
        throw error;
    }
    settings_ = *parsed;
}

void RealPort::CommPort(int number) {
    std::string device = resolver_(number);
    if (device.empty())
        throw PortError(kInvalidSettingsError, "Invalid port number " + std::to_string(number),
                        device_);
    // Switching silently would leave the old port open under the new name.
    if (line_ && device != device_)
        throw PortError(kPortAlreadyOpenError, "Port is open: close it before choosing another",
                        device_);
    device_ = std::move(device);
}

void RealPort::PortOpen(bool open) {
    if (!open) {
        line_.reset();
        if (qtPort_)
            qtPort_->close();
        qtPort_.reset();
        return;
    }
    if (line_)
        return;  // already ours, locks and all
    if (device_.empty())
        throw PortError(kInvalidSettingsError, "No port chosen", device_);

    auto port = std::make_unique<QSerialPort>();
    port->setPortName(QString::fromStdString(device_));
    if (!applySettings(*port, settings_))
        throw openError(*port, device_);
    // Write-only: Qt then never reads the device, so incoming bytes cannot
    // pile up in its buffer; the read-buffer cap guards the same thing.
    port->setReadBufferSize(1);
    if (!port->open(QIODevice::WriteOnly))
        throw openError(*port, device_);

    // Should either throw, `port` dies here: the device closes and Qt's
    // lock file goes with it, so a refused open leaves nothing held.
    auto line = std::make_unique<NativeLine>(nativeHandle(port->handle()), device_);
    line->lockExclusive();
    qtPort_ = std::move(port);
    line_ = std::move(line);
}

void RealPort::DTREnable(bool asserted) {
    openLine().setDtr(asserted);
}

void RealPort::RTSEnable(bool asserted) {
    openLine().setRts(asserted);
}

bool RealPort::CDHolding() {
    return openLine().carrier();
}

void RealPort::Output(std::string_view text) {
    // Whatever the driver cannot take now is dropped: the bytes only keep
    // the line busy, and holding them back would grow without bound.
    openLine().writeNoWait(text);
}

NativeLine& RealPort::openLine() {
    if (!line_)
        throw PortError(kPortNotOpenError, "Port is not open", device_);
    return *line_;
}

} // namespace serial
