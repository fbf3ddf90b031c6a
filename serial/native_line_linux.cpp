// Linux: ioctl() and write() on the descriptor Qt Serial Port opened. Every failure carries errno and its system text.

#include "native_line.h"

#include "error.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <system_error>
#include <unistd.h>

namespace serial {
namespace {

[[noreturn]] void fail(int error, const std::string& device) {
    throw text::Error::system(error, device);
}

// A line call's failure. These are what the kernel answers once the device
// behind an open descriptor has gone; anything else (ENOTTY: no modem lines
// at all) keeps its plain text, since the port did not stop: it never worked.
[[noreturn]] void lineFailed(int error, const std::string& device) {
    if (error == EIO || error == ENODEV || error == ENXIO)
        throw text::Error(text::MessageId::PortStopped, error, device);
    fail(error, device);
}

int descriptor(long long handle) {
    return static_cast<int>(handle);
}

void changeLines(long long handle, int lines, bool asserted, const std::string& device) {
    if (::ioctl(descriptor(handle), asserted ? TIOCMBIS : TIOCMBIC, &lines) == -1)
        lineFailed(errno, device);
}

} // namespace

struct NativeLine::OsState {};

NativeLine::NativeLine(long long handle, std::string device)
    : handle_(handle), device_(std::move(device)) {
    // Output runs every millisecond from the event loop: a blocking
    // descriptor would freeze the program whenever the transmit queue fills.
    const int flags = ::fcntl(descriptor(handle_), F_GETFL);
    if (flags == -1)
        fail(errno, device_);
    if (!(flags & O_NONBLOCK) && ::fcntl(descriptor(handle_), F_SETFL, flags | O_NONBLOCK) == -1)
        fail(errno, device_);
}

NativeLine::~NativeLine() = default;

void NativeLine::setDtr(bool asserted) {
    changeLines(handle_, TIOCM_DTR, asserted, device_);
}

void NativeLine::setRts(bool asserted) {
    changeLines(handle_, TIOCM_RTS, asserted, device_);
}

bool NativeLine::carrier() {
    int lines = 0;
    if (::ioctl(descriptor(handle_), TIOCMGET, &lines) == -1)
        lineFailed(errno, device_);
    return (lines & TIOCM_CAR) != 0;
}

std::size_t NativeLine::writeNoWait(std::string_view bytes) {
    for (;;) {
        const ssize_t written = ::write(descriptor(handle_), bytes.data(), bytes.size());
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
