// RealPort on a pseudo-terminal: port 1 is the pty's slave, the test holds
// the master as the far end of the line. Ptys have no modem lines (Linux
// answers ENOTTY), so the working path of DTR/RTS/DCD is watched at the
// ioctl() boundary instead, through the interposer below.

#include "error.h"
#include "real_port.h"
#include "scratch_dir.h"

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

using PortError = text::Error;
using serial::RealPort;

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

std::unique_ptr<RealPort> openOn(const Pty& pty, std::string_view settings = "1200,N,8,1") {
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

bool says(const PortError& error, const char* words) {
    return text::reportLine(error).find(words) != std::string::npos;
}

// Each line operation of the port, in turn, made to fail.
template <typename Check>
void forEachLineOperation(RealPort& port, Check check) {
    check(failureOf([&] { port.DTREnable(true); }));
    check(failureOf([&] { port.RTSEnable(false); }));
    check(failureOf([&] { port.CDHolding(); }));
}

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

constexpr std::string_view kTwoZeros("\0\0", 2);

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
TEST(RealPort, OpensARawLineWhateverTheLastProgramLeft) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    termios left{};
    ASSERT_EQ(::tcgetattr(pty.master, &left), 0);
    left.c_cflag = (left.c_cflag & ~tcflag_t(CLOCAL)) | CRTSCTS;
    left.c_iflag |= IXON | IXOFF | IXANY | ICRNL;
    left.c_oflag |= OPOST | ONLCR;
    left.c_lflag |= ICANON | ECHO | ISIG | IEXTEN;
    left.c_cc[VMIN] = 1;
    left.c_cc[VTIME] = 5;
    ASSERT_EQ(::cfsetspeed(&left, B38400), 0);
    ASSERT_EQ(::tcsetattr(pty.master, TCSANOW, &left), 0);

    const auto lineNow = [&] {
        termios line{};
        EXPECT_EQ(::tcgetattr(pty.master, &line), 0);
        return line;
    };
    auto port = openOn(pty, "1200,N,8,2");
    termios line = lineNow();
    EXPECT_EQ(line.c_cflag & (CLOCAL | CREAD), tcflag_t(CLOCAL | CREAD));
    // A pty holds no parity, so only the rest of the frame shows.
    EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), tcflag_t(CS8 | CSTOPB));
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF | IXANY | ICRNL), 0u);
    EXPECT_EQ(line.c_oflag & OPOST, 0u);
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(line.c_cc[VMIN], 0);
    EXPECT_EQ(line.c_cc[VTIME], 0);
    EXPECT_EQ(::cfgetospeed(&line), speed_t(B1200));
    EXPECT_EQ(::cfgetispeed(&line), speed_t(B1200));

    // New settings on an open port wait for the next open.
    port->Settings("9600,N,8,1");
    EXPECT_EQ(::cfgetospeed(&(line = lineNow())), speed_t(B1200));
    port->PortOpen(false);
    port->PortOpen(true);
    line = lineNow();
    EXPECT_EQ(::cfgetospeed(&line), speed_t(B9600));
    EXPECT_EQ(line.c_cflag & CSTOPB, 0u);
}

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

TEST(RealPort, RefusalsAreReported) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    RealPort port(pty.resolver());
    auto error = failureOf([&] { port.Settings("1200,X,8,1"); });
    EXPECT_EQ(error.number(), text::kInvalidSettingsError);
    EXPECT_TRUE(says(error, "1200,X,8,1"));
    EXPECT_TRUE(says(failureOf([&] { port.PortOpen(true); }), "No port chosen"));
    error = failureOf([&] { port.CommPort(2); });
    EXPECT_EQ(error.number(), text::kInvalidPortError);
    EXPECT_TRUE(says(error, "Invalid port number"));
    port.CommPort(1);
    forEachLineOperation(port, [](const PortError& error) { EXPECT_TRUE(says(error, "not open")); });
    EXPECT_TRUE(says(failureOf([&] { port.Output(kTwoZeros); }), "not open"));

    // A rate termios cannot give is refused at the open, holding nothing.
    port.Settings("14400,N,8,1");
    error = failureOf([&] { port.PortOpen(true); });
    EXPECT_EQ(error.number(), text::kInvalidSettingsError);
    EXPECT_TRUE(says(error, "14400"));
    EXPECT_TRUE(says(failureOf([&] { port.Output("x"); }), "not open"));
    port.Settings("1200,N,8,1");

    ScratchDir dir;
    const std::string missing = dir.file("ttyGone");
    RealPort gone([&](int) { return missing; });
    std::vector<std::string> announced;
    const auto announce = [&](int number, const std::string& device) {
        announced.push_back(serial::openedPortText(number, device));
    };
    gone.onOpened(announce);
    gone.CommPort(1);
    error = failureOf([&] { gone.PortOpen(true); });
    EXPECT_EQ(error.number(), ENOENT);
    EXPECT_TRUE(says(error, "No such device"));
    EXPECT_EQ(error.subject(), missing);

    // Only an open that succeeds is announced, naming the device found.
    port.onOpened(announce);
    port.PortOpen(true);
    port.PortOpen(true);  // already open: nothing new to say
    EXPECT_EQ(announced, std::vector<std::string>{"port 1 is " + pty.slave});
}

TEST(RealPort, APortHeldElsewhereIsBusy) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    // Whether the device refuses other opens (root is let through to look).
    const auto exclusive = [&] {
        const int fd = ::open(pty.slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd == -1)
            return errno == EBUSY ? 1 : -1;
        int set = -1;
        ::ioctl(fd, TIOCGEXCL, &set);
        ::close(fd);
        return set;
    };
    RealPort second(pty.resolver());
    second.CommPort(1);
    {
        auto first = openOn(pty);
        const auto error = failureOf([&] { second.PortOpen(true); });
        EXPECT_TRUE(says(error, "in use by another program")) << text::reportLine(error);
        EXPECT_EQ(error.number(), text::kPortBusyError);
        EXPECT_EQ(error.subject(), pty.slave);
        EXPECT_EQ(exclusive(), 1);  // programs that take no lock are kept out too
    }
    // The pty lives on with its master: the flag must go with our hold.
    EXPECT_EQ(exclusive(), 0);

    // A program that only flock()s the device keeps us out as well.
    const int other = ::open(pty.slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    const auto error = failureOf([&] { second.PortOpen(true); });
    EXPECT_EQ(error.number(), text::kPortBusyError);
    EXPECT_TRUE(says(error, "in use by another program"));
    EXPECT_TRUE(says(failureOf([&] { second.Output("x"); }), "not open"));
    // A TIOCEXCL a killed copy left behind, its flock gone with it, keeps
    // nobody out whom the kernel lets past the flag (root).
    ASSERT_EQ(::flock(other, LOCK_UN), 0);
    if (::geteuid() == 0) {
        ASSERT_EQ(::ioctl(other, TIOCEXCL), 0);
        second.PortOpen(true);
        second.PortOpen(false);
    }
    ::close(other);

    // Neither refusal left a hold behind.
    second.PortOpen(true);
    second.Output("ok");
    EXPECT_EQ(pty.drain(), "ok");
}
