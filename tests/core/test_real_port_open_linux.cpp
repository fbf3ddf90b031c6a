// RealPort's open on a pseudo-terminal: the line it sets up whatever the
// last program left, what it refuses, and a port another program holds.

#include "pty_port.h"
#include "scratch_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

using namespace pty_port;

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
