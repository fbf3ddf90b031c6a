// Linux: Qt Serial Port opens and configures the device and takes its lock
// file; an flock() on the descriptor keeps out programs that skip the lock-
// file convention. Qt's own error values are never shown as numbers: where
// the OS gave a code (errno) that is the number, else the program's own.

#include "port_device.h"

#include "error.h"

#include <QSerialPort>
#include <QString>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <system_error>
#include <unistd.h>

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
// takes effect at once.
bool applySettings(QSerialPort& port, const PortSettings& settings) {
    return port.setBaudRate(settings.baud) && port.setParity(qtParity(settings.parity)) &&
           port.setDataBits(static_cast<QSerialPort::DataBits>(settings.dataBits)) &&
           port.setStopBits(qtStopBits(settings.stopBits)) &&
           port.setFlowControl(QSerialPort::NoFlowControl);
}

// The errno behind Qt's last failure, or `fallback` where none was left.
// Qt sets its error right after the failing system call, so errno cleared
// before the call still holds that call's code.
int osCodeOr(int fallback) {
    return errno > 0 ? errno : fallback;
}

// Whether the OS denies this user the device itself. Qt says "permission
// error" for that and for a lock file held by another program alike.
bool accessDenied(const std::string& device) {
    // AT_EACCESS: the rights the open itself would be judged by.
    if (::faccessat(AT_FDCWD, device.c_str(), W_OK, AT_EACCESS) == 0)
        return false;
    return errno == EACCES || errno == EPERM || errno == EROFS;
}

text::Error openError(const QSerialPort& port, const std::string& device) {
    using enum text::MessageId;
    switch (port.error()) {
    case QSerialPort::DeviceNotFoundError:
        return text::Error(PortMissing, ENOENT, device);
    case QSerialPort::PermissionError:
        if (accessDenied(device))
            return text::Error(PortAccessDenied, EACCES, device);
        return text::Error(PortBusy, text::kPortBusyError, device);
    default:
        return text::Error(PortOpenFailed, osCodeOr(text::kPortOpenError), device);
    }
}

// LOCK_NB: a held port must be reported, not waited for.
void lockExclusive(int descriptor, const std::string& device) {
    if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0)
        return;
    const int error = errno;
    if (error == EWOULDBLOCK)
        throw text::Error(text::MessageId::PortBusy, text::kPortBusyError, device);
    throw text::Error::system(error, device);
}

class QtPortDevice final : public PortDevice {
public:
    QtPortDevice(std::unique_ptr<QSerialPort> port, const std::string& device,
                 const PortSettings& settings)
        : port_(std::move(port)), line_(port_->handle(), device), settings_(settings) {}

    ~QtPortDevice() override { port_->close(); }

    void apply(const PortSettings& settings) override {
        errno = 0;
        if (applySettings(*port_, settings)) {
            settings_ = settings;
            return;
        }
        text::Error error(text::MessageId::PortSettingsRefused, osCodeOr(text::kPortOpenError),
                          line_.device());
        // Part of the new values may be on the line already; put back the
        // ones still in force so the line matches what was last accepted.
        applySettings(*port_, settings_);
        throw error;
    }

    NativeLine& line() override { return line_; }

private:
    std::unique_ptr<QSerialPort> port_;
    NativeLine line_;
    PortSettings settings_;
};

} // namespace

std::unique_ptr<PortDevice> PortDevice::open(const std::string& device, const PortSettings& settings) {
    auto port = std::make_unique<QSerialPort>();
    port->setPortName(QString::fromStdString(device));
    errno = 0;
    if (!applySettings(*port, settings))
        throw openError(*port, device);
    // Write-only: Qt then never reads the device, so incoming bytes cannot
    // pile up in its buffer; the read-buffer cap guards the same thing.
    port->setReadBufferSize(1);
    if (!port->open(QIODevice::WriteOnly))
        throw openError(*port, device);

    // Should either throw, `port` dies here: the device closes and Qt's
    // lock file goes with it, so a refused open leaves nothing held.
    lockExclusive(port->handle(), device);
    return std::make_unique<QtPortDevice>(std::move(port), device, settings);
}

} // namespace serial
