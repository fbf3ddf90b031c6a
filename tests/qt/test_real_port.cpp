// RealPort on a pseudo-terminal: port 1 is the pty's slave, the test holds
// the master as the far end of the line. Ptys have no modem lines (Linux
// answers ENOTTY), so the working path of DTR/RTS/DCD is watched at the
// ioctl() boundary instead, through the interposer below.

#include "error.h"
#include "real_port.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>

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

// Every ioctl() of this executable, Qt's included, comes through here.
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

class TestRealPort : public QObject {
    Q_OBJECT

private slots:
    void modemLinesTakeOneCallEachOnTheOpenDevice() {
        Pty pty;
        QVERIFY(pty.ok());
        auto port = openOn(pty);
        // The pty refuses modem requests: the error carries errno and the device.
        forEachLineOperation(*port, [&](const PortError& error) {
            QCOMPARE(error.number(), ENOTTY);
            QCOMPARE(error.subject(), pty.slave);
            QVERIFY(!says(error, "stopped working"));
        });
        // A device gone from under the open descriptor says what likely happened.
        modem = FakeModem{.active = true, .failWith = EIO};
        forEachLineOperation(*port, [&](const PortError& error) {
            QCOMPARE(error.number(), EIO);
            QCOMPARE(text::reportLine(error),
                     "Error 5: The port stopped working (adapter unplugged, or the computer "
                     "slept): Input/output error (" + pty.slave + ")");
        });

        modem = FakeModem{.active = true};
        const auto expect = [&](unsigned long request, int lines) {
            QCOMPARE(modem.calls, 1);
            QCOMPARE(modem.request, request);
            QCOMPARE(linkOf(modem.fd), pty.slave);
            QCOMPARE(modem.lines, lines);
            modem.calls = 0;
        };
        port->DTREnable(true);
        expect(TIOCMBIS, TIOCM_DTR);
        port->RTSEnable(true);
        expect(TIOCMBIS, TIOCM_DTR | TIOCM_RTS);
        port->DTREnable(false);
        expect(TIOCMBIC, TIOCM_RTS);
        modem.lines = TIOCM_CTS | TIOCM_DSR | TIOCM_RI;
        QVERIFY(!port->CDHolding());
        expect(TIOCMGET, modem.lines);
        modem.lines |= TIOCM_CAR;
        QVERIFY(port->CDHolding());
        modem = FakeModem{};
    }

    void settingsAreInForceOnTheLine() {
        Pty pty;
        QVERIFY(pty.ok());
        auto port = openOn(pty, "1200,N,8,1");
        termios line{};
        QCOMPARE(::tcgetattr(pty.master, &line), 0);
        QCOMPARE(::cfgetospeed(&line), speed_t(B1200));
        QCOMPARE(line.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), tcflag_t(CS8));

        port->Settings("9600,N,8,2");  // at once on an open port; a pty holds no parity
        QCOMPARE(::tcgetattr(pty.master, &line), 0);
        QCOMPARE(::cfgetospeed(&line), speed_t(B9600));
        QCOMPARE(line.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), tcflag_t(CS8 | CSTOPB));
    }

    void outputArrivesUnchangedAndNeverWaits() {
        Pty pty;
        QVERIFY(pty.ok());
        auto port = openOn(pty);
        for (int i = 0; i < 3; ++i)
            port->Output(kTwoZeros);
        port->Output("A\nB");  // a raw line: no newline translation
        QCOMPARE(pty.drain(), std::string("\0\0\0\0\0\0A\nB", 9));

        // Nobody reads the far end: the queue fills, and then each call must
        // return at once and keep nothing.
        for (int i = 0; i < 20000; ++i)
            port->Output(kTwoZeros);
        const long before = residentBytes();
        for (int i = 0; i < 1000000; ++i)  // 2 MB offered
            port->Output(kTwoZeros);
        QVERIFY2(residentBytes() - before < 1024 * 1024, "blocked output is being kept");
        QVERIFY(pty.drain().size() < 1024 * 1024);  // the kernel's queue, nothing more
        port->Output("x");
        QCOMPARE(pty.drain(), std::string("x"));
    }

    void receivedBytesAreNotReadIntoMemory() {
        Pty pty;
        QVERIFY(pty.ok());
        auto port = openOn(pty);
        const std::string chunk(4096, 'r');
        std::size_t accepted = 0;
        for (int round = 0; round < 2000; ++round) {
            const auto n = ::write(pty.master, chunk.data(), chunk.size());
            accepted += n > 0 ? static_cast<std::size_t>(n) : 0;
            QCoreApplication::processEvents();
        }
        // Once the kernel's input queue is full the far end can send no more.
        QVERIFY2(accepted < 1024 * 1024, std::to_string(accepted).c_str());
    }

    void refusalsAreReported() {
        Pty pty;
        QVERIFY(pty.ok());
        RealPort port(pty.resolver());
        auto error = failureOf([&] { port.Settings("1200,X,8,1"); });
        QCOMPARE(error.number(), text::kInvalidSettingsError);
        QVERIFY(says(error, "1200,X,8,1"));
        QVERIFY(says(failureOf([&] { port.PortOpen(true); }), "No port chosen"));
        error = failureOf([&] { port.CommPort(2); });
        QCOMPARE(error.number(), text::kInvalidPortError);
        QVERIFY(says(error, "Invalid port number"));
        port.CommPort(1);
        forEachLineOperation(port, [](const PortError& error) { QVERIFY(says(error, "not open")); });
        QVERIFY(says(failureOf([&] { port.Output(kTwoZeros); }), "not open"));

        QTemporaryDir dir;
        const std::string missing = dir.filePath("ttyGone").toStdString();
        RealPort gone([&](int) { return missing; });
        std::vector<std::string> announced;
        const auto announce = [&](int number, const std::string& device) {
            announced.push_back(serial::openedPortText(number, device));
        };
        gone.onOpened(announce);
        gone.CommPort(1);
        error = failureOf([&] { gone.PortOpen(true); });
        QCOMPARE(error.number(), ENOENT);
        QVERIFY(says(error, "No such device"));
        QCOMPARE(error.subject(), missing);

        // Only an open that succeeds is announced, naming the device found.
        port.onOpened(announce);
        port.PortOpen(true);
        port.PortOpen(true);  // already open: nothing new to say
        QCOMPARE(announced, std::vector<std::string>{"port 1 is " + pty.slave});
    }

    void aPortHeldElsewhereIsBusy() {
        Pty pty;
        QVERIFY(pty.ok());
        RealPort second(pty.resolver());
        second.CommPort(1);
        {
            auto first = openOn(pty);  // holds Qt's lock file
            const auto error = failureOf([&] { second.PortOpen(true); });
            QVERIFY2(says(error, "in use by another program"), text::reportLine(error).c_str());
            QCOMPARE(error.number(), text::kPortBusyError);
            QCOMPARE(error.subject(), pty.slave);
        }

        // A program that only flock()s the device keeps us out as well.
        const int other = ::open(pty.slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(other >= 0);
        QCOMPARE(::flock(other, LOCK_EX | LOCK_NB), 0);
        const auto error = failureOf([&] { second.PortOpen(true); });
        QCOMPARE(error.number(), text::kPortBusyError);
        QVERIFY(says(error, "in use by another program"));
        QVERIFY(says(failureOf([&] { second.Output("x"); }), "not open"));
        ::close(other);

        // Neither refusal left a lock behind.
        second.PortOpen(true);
        second.Output("ok");
        QCOMPARE(pty.drain(), std::string("ok"));
    }
};

QTEST_MAIN(TestRealPort)
#include "test_real_port.moc"
