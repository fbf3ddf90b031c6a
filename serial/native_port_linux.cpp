// Linux: the port is a descriptor opened non-blocking and configured with
// termios; line calls are ioctl() and write() on it. Every failure carries
// errno and its system text.
//
// The exclusive hold is flock() plus TIOCEXCL. flock() keeps out every
// program that asks for the same lock, root included, and the kernel drops
// it with the descriptor however the program ends: it alone says whether the
// port is held. TIOCEXCL refuses other opens of the device, by programs that
// take no lock, to all but root; it is cleared on close, and goes with the
// device's last close otherwise. No lock file is written: one left by a
// crash would keep the port busy until removed by hand.

#include "native_port.h"

#include "error.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace serial {
namespace {

using text::MessageId;

[[noreturn]] void fail(int error, const std::string& device) {
    throw text::Error::system(error, device);
}

text::Error busy(const std::string& device) {
    return text::Error(MessageId::PortBusy, text::kPortBusyError, device);
}

text::Error openError(int error, const std::string& device) {
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:  // a device node with no driver or hardware behind it
        return text::Error(MessageId::PortMissing, error, device);
    case EACCES:
    case EPERM:
        return text::Error(MessageId::PortAccessDenied, error, device);
    case EBUSY:  // another program set TIOCEXCL on it
        return busy(device);
    default:
        return text::Error(MessageId::PortOpenFailed, error, device);
    }
}

// A line call's failure. These are what the kernel answers once the device
// behind an open descriptor has gone; anything else (ENOTTY: no modem lines
// at all) keeps its plain text, since the port did not stop: it never worked.
[[noreturn]] void lineFailed(int error, const std::string& device) {
    if (error == EIO || error == ENODEV || error == ENXIO)
        throw text::Error(MessageId::PortStopped, error, device);
    fail(error, device);
}

std::optional<speed_t> speedOf(int baud) {
    switch (baud) {
    case 110: return B110;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return std::nullopt;  // 14400 and 28800 have no termios speed
    }
}

tcflag_t characterSize(int dataBits) {
    switch (dataBits) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
    }
}

tcflag_t parityFlags(Parity parity) {
    switch (parity) {
    case Parity::None: return 0;
    case Parity::Even: return PARENB;
    case Parity::Odd: return PARENB | PARODD;
    case Parity::Mark: return PARENB | CMSPAR | PARODD;
    case Parity::Space: return PARENB | CMSPAR;
    }
    return 0;
}

// Every flag the program relies on is set here rather than kept from the
// last program that used the device. Without CLOCAL every fall of DCD, which
// carries the converter's data, would hang the line up; CRTSCTS would tie
// RTS, the converter's clock, to the receive buffer; IXON/IXOFF would let
// stray bytes stop the output. HUPCL, the kernel's default, drops DTR and
// RTS when the port is let go, as an unused port has them.
void configure(int fd, const PortSettings& settings, const std::string& device) {
    const auto speed = speedOf(settings.baud);
    if (!speed)
        throw text::Error(MessageId::BaudUnavailable, text::kInvalidSettingsError, device,
                          {std::to_string(settings.baud)});
    // termios has no 1.5 stop bits to ask for.
    if (settings.stopBits == StopBits::OneAndHalf)
        throw text::Error(MessageId::StopBitsUnavailable, text::kInvalidSettingsError, device);

    termios line{};
    if (::tcgetattr(fd, &line) == -1)
        throw openError(errno, device);
    ::cfmakeraw(&line);
    line.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY);
    line.c_cflag &= ~tcflag_t(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    line.c_cflag |= CLOCAL | CREAD | HUPCL | characterSize(settings.dataBits) |
                    parityFlags(settings.parity);
    if (settings.stopBits == StopBits::Two)
        line.c_cflag |= CSTOPB;
    // Nothing is ever read; a read, were there one, would not wait.
    line.c_cc[VMIN] = 0;
    line.c_cc[VTIME] = 0;
    if (::cfsetispeed(&line, *speed) == -1 || ::cfsetospeed(&line, *speed) == -1 ||
        ::tcsetattr(fd, TCSANOW, &line) == -1) {
        const int error = errno;
        throw text::Error(MessageId::PortSettingsRefused, error, device);
    }
}

// Owns the descriptor until the port takes it over, so that a refused open
// closes it and with it any hold already taken.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

void changeLines(int fd, int lines, bool asserted, const std::string& device) {
    if (::ioctl(fd, asserted ? TIOCMBIS : TIOCMBIC, &lines) == -1)
        lineFailed(errno, device);
}

} // namespace

struct NativePort::Os {
    int fd;
};

std::unique_ptr<NativePort> NativePort::open(const std::string& device, const PortSettings& settings) {
    // O_NONBLOCK: the open does not wait for carrier, and output, which runs
    // every millisecond from the event loop, never freezes the program when
    // the transmit queue is full.
    Descriptor port{::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)};
    if (port.fd == -1)
        throw openError(errno, device);
    // The lock first: TIOCEXCL outlives this descriptor while any other
    // program has the device open, so it is set only once the port is ours.
    if (::flock(port.fd, LOCK_EX | LOCK_NB) == -1) {
        const int error = errno;
        if (error == EWOULDBLOCK)
            throw busy(device);
        fail(error, device);
    }
    // A TIOCEXCL already set is not asked about: a copy that was killed
    // leaves it set for as long as anyone else holds the device open, and
    // would then keep every later copy out. The flock says who holds it.
    if (::ioctl(port.fd, TIOCEXCL) == -1)
        throw openError(errno, device);
    try {
        configure(port.fd, settings, device);
    } catch (...) {
        ::ioctl(port.fd, TIOCNXCL);
        throw;
    }
    std::unique_ptr<NativePort> opened(new NativePort(device, std::make_unique<Os>(Os{port.fd})));
    port.fd = -1;
    return opened;
}

NativePort::NativePort(std::string device, std::unique_ptr<Os> os)
    : device_(std::move(device)), os_(std::move(os)) {}

NativePort::~NativePort() {
    // Another program may still have the device open, keeping the flag alive.
    ::ioctl(os_->fd, TIOCNXCL);
    ::close(os_->fd);
}

void NativePort::setDtr(bool asserted) {
    changeLines(os_->fd, TIOCM_DTR, asserted, device_);
}

void NativePort::setRts(bool asserted) {
    changeLines(os_->fd, TIOCM_RTS, asserted, device_);
}

bool NativePort::carrier() {
    int lines = 0;
    if (::ioctl(os_->fd, TIOCMGET, &lines) == -1)
        lineFailed(errno, device_);
    return (lines & TIOCM_CAR) != 0;
}

std::size_t NativePort::writeNoWait(std::string_view bytes) {
    for (;;) {
        const ssize_t written = ::write(os_->fd, bytes.data(), bytes.size());
        if (written >= 0)
            return static_cast<std::size_t>(written);
        const int error = errno;
        if (error == EINTR)
            continue;
        // A full transmit queue only means the line is busy; the bytes are
        // keep-alive filler and may go.
        if (error == EAGAIN || error == EWOULDBLOCK)
            return 0;
        lineFailed(error, device_);
    }
}

} // namespace serial
