/* The yardstick for the thermometer's running cost: the same port work with
 * the least machinery. One thread, one 1 ms timerfd, blocking reads on it;
 * every tick two zero bytes written without waiting (dropped when the line
 * is full); every thousandth tick one read cycle of 32 single ioctls.
 *
 *   floor DEVICE
 *
 * Runs until killed. Give it a pseudo-terminal, never a machine's console. */

#include <errno.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/timerfd.h>
#include <termios.h>
#include <unistd.h>

static int port;

static void die(const char *what) {
    fprintf(stderr, "floor: %s: %s\n", what, strerror(errno));
    _exit(1);
}

static void lines(unsigned long request, int bits) {
    if (ioctl(port, request, &bits) == -1)
        die("ioctl");
}

static int carrier(void) {
    int bits = 0;
    if (ioctl(port, TIOCMGET, &bits) == -1)
        die("TIOCMGET");
    return (bits & TIOCM_CAR) != 0;
}

static volatile int lastCode;

static void readCycle(void) {
    int code = 0;
    lines(TIOCMBIC, TIOCM_DTR);
    for (int k = 0; k < 9; ++k) {
        lines(TIOCMBIS, TIOCM_RTS);
        code = code << 1 | carrier();
        lines(TIOCMBIC, TIOCM_RTS);
    }
    lines(TIOCMBIS, TIOCM_RTS);
    code = code << 1 | carrier();
    lines(TIOCMBIS, TIOCM_DTR);
    lines(TIOCMBIC, TIOCM_RTS);
    lastCode = code;
}

int main(int argc, char **argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: floor DEVICE\n");
        return 2;
    }
    port = open(argv[1], O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (port < 0)
        die(argv[1]);
    struct termios tio;
    if (tcgetattr(port, &tio) == -1)
        die("tcgetattr");
    cfmakeraw(&tio);
    tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    cfsetispeed(&tio, B1200);
    cfsetospeed(&tio, B1200);
    if (tcsetattr(port, TCSANOW, &tio) == -1)
        die("tcsetattr");
    lines(TIOCMBIS, TIOCM_DTR);

    int timer = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC);
    struct itimerspec every = {{0, 1000000}, {0, 1000000}};
    if (timer < 0 || timerfd_settime(timer, 0, &every, NULL) == -1)
        die("timerfd");

    static const char zeros[2] = {0, 0};
    uint64_t ticks = 0;
    for (;;) {
        uint64_t expired;
        if (read(timer, &expired, sizeof expired) != sizeof expired) {
            if (errno == EINTR)
                continue;
            die("timerfd read");
        }
        /* Missed ticks merge into one write, as in the program. */
        if (write(port, zeros, sizeof zeros) == -1 && errno != EAGAIN && errno != EINTR)
            die("write");
        /* The second keeps its place however many ticks merged. */
        if ((ticks + expired) / 1000 != ticks / 1000)
            readCycle();
        ticks += expired;
    }
}
