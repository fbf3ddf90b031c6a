// RealPort on a pseudo-terminal: port 1 is the pty's slave, the test holds
// the master as the far end of the line. Ptys have no modem lines (Linux
// answers ENOTTY), so the working path of DTR/RTS/DCD is watched at the
// ioctl() boundary instead, through the interposer below.

#include "pty_port.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdarg>
#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

using namespace pty_port;

namespace {
// While active, the modem-line requests are answered from here and counted.
struct FakeModem {
    bool active = false;
    int failWith = 0;  // errno every request fails with, as from a pulled adapter
    int lines = 0, calls = 0, fd = -1;
    unsigned long request = 0;
} modem;
} // namespace

// Every ioctl() of this executable comes through here.
extern "C" int ioctl(int fd, unsigned long request, ...) noexcept {
    va_list args;
    va_start(args, request);
    void* argument = va_arg(args, void*);
    va_end(args);
    if (!modem.active || (request != TIOCMBIS && request != TIOCMBIC && request != TIOCMGET))
        return static_cast<int>(::syscall(SYS_ioctl, fd, request, argument));
    if (modem.failWith) {
        errno = modem.failWith;
        return -1;
    }
    auto* bits = static_cast<int*>(argument);
    ++modem.calls;
    modem.fd = fd;
    modem.request = request;
    if (request == TIOCMGET)
        *bits = modem.lines;
    else
        modem.lines = request == TIOCMBIS ? modem.lines | *bits : modem.lines & ~*bits;
    return 0;
}

namespace {

long residentBytes() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * ::sysconf(_SC_PAGESIZE);
}

std::string linkOf(int fd) {
    char target[256] = {};
    const auto n = ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), target, sizeof target - 1);
    return n > 0 ? std::string(target, static_cast<std::size_t>(n)) : std::string();
}

} // namespace

TEST(RealPort, ModemLinesTakeOneCallEachOnTheOpenDevice) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    auto port = openOn(pty);
    // The pty refuses modem requests: the error carries errno and the device.
    forEachLineOperation(*port, [&](const PortError& error) {
        EXPECT_EQ(error.number(), ENOTTY);
        EXPECT_EQ(error.subject(), pty.slave);
        EXPECT_FALSE(says(error, "stopped working"));
    });
    // A device gone from under the open descriptor says what likely happened.
    modem = FakeModem{.active = true, .failWith = EIO};
    forEachLineOperation(*port, [&](const PortError& error) {
        EXPECT_EQ(error.number(), EIO);
        EXPECT_EQ(text::reportLine(error),
                  "Error 5: The port stopped working (adapter unplugged, or the computer "
                  "slept): Input/output error (" + pty.slave + ")");
    });

    modem = FakeModem{.active = true};
    const auto expect = [&](unsigned long request, int lines) {
        EXPECT_EQ(modem.calls, 1);
        EXPECT_EQ(modem.request, request);
        EXPECT_EQ(linkOf(modem.fd), pty.slave);
        EXPECT_EQ(modem.lines, lines);
        modem.calls = 0;
    };
    port->DTREnable(true);
    expect(TIOCMBIS, TIOCM_DTR);
    port->RTSEnable(true);
    expect(TIOCMBIS, TIOCM_DTR | TIOCM_RTS);
    port->DTREnable(false);
    expect(TIOCMBIC, TIOCM_RTS);
    modem.lines = TIOCM_CTS | TIOCM_DSR | TIOCM_RI;
    EXPECT_FALSE(port->CDHolding());
    expect(TIOCMGET, modem.lines);
    modem.lines |= TIOCM_CAR;
    EXPECT_TRUE(port->CDHolding());
    modem = FakeModem{};
}

// A tty keeps the flags the last program left. Without CLOCAL every fall of
// DCD, the converter's data, would hang the line up; a real port cannot be
// watched doing so here, so the flags themselves are read back.
TEST(RealPort, OutputArrivesUnchangedAndNeverWaits) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    auto port = openOn(pty);
    for (int i = 0; i < 3; ++i)
        port->Output(kTwoZeros);
    port->Output("A\nB");  // a raw line: no newline translation
    EXPECT_EQ(pty.drain(), std::string("\0\0\0\0\0\0A\nB", 9));

    // Nobody reads the far end: the queue fills, and then each call must
    // return at once and keep nothing.
    for (int i = 0; i < 20000; ++i)
        port->Output(kTwoZeros);
    const long before = residentBytes();
    for (int i = 0; i < 1000000; ++i)  // 2 MB offered
        port->Output(kTwoZeros);
    EXPECT_LT(residentBytes() - before, 1024 * 1024) << "blocked output is being kept";
    EXPECT_LT(pty.drain().size(), 1024u * 1024u);  // the kernel's queue, nothing more
    port->Output("x");
    EXPECT_EQ(pty.drain(), "x");
}

TEST(RealPort, ReceivedBytesAreNotReadIntoMemory) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    auto port = openOn(pty);
    const std::string chunk(4096, 'r');
    std::size_t accepted = 0;
    for (int round = 0; round < 2000; ++round) {
        const auto n = ::write(pty.master, chunk.data(), chunk.size());
        accepted += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    // Once the kernel's input queue is full the far end can send no more.
    EXPECT_LT(accepted, 1024u * 1024u);
}
