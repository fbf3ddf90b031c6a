/*
 * modemsim_preload: puts the converter on the modem lines of a
 * pseudo-terminal, for the end-to-end tests (LD_PRELOAD).
 *
 * A pseudo-terminal has no DTR, RTS or DCD, so the program's modem-line
 * ioctl() calls on it would fail. This library answers TIOCMGET, TIOCMSET,
 * TIOCMBIS and TIOCMBIC itself for the one device named by MODEMSIM_RDEV,
 * with the converter wired as on the bench: DTR is the active-low chip
 * select, RTS the clock, DCD the data. Every other ioctl(), and every call on
 * any other descriptor, goes to the C library unchanged, so the keep-alive
 * bytes still reach the pseudo-terminal's master side. The converter itself
 * is modemsim_converter.c; this file is the interposition and the log.
 *
 * The library never opens a device and never issues a modem-line ioctl()
 * of its own.
 *
 * Environment (all optional except MODEMSIM_RDEV; without it the library
 * passes everything through):
 *   MODEMSIM_RDEV        "major:minor" of the pseudo-terminal slave
 *   MODEMSIM_LOG         file that receives one line per event (appended)
 *   MODEMSIM_CODES       codes 0..1023 presented, one per conversion,
 *                        separated by commas (default 600)
 *   MODEMSIM_REPEAT      "last" (default): the last code repeats once the
 *                        list is used up; "cycle": start over
 *   MODEMSIM_FAIL_AFTER  after this many conversions the line fails: the
 *                        next attempt to select the chip (DTR falling) and
 *                        every modem-line ioctl() after it fail with EIO, so
 *                        the last read cycle before the failure is whole
 *   MODEMSIM_FAIL_WRITES "1": from then on write() to the device fails
 *                        with EIO as well, as an unplugged adapter would
 *   MODEMSIM_DCD_LATE    "LAG,PERIOD" in ms: DCD is reported late, as through
 *                        a USB adapter: from a copy refreshed every PERIOD
 *                        ms (0: at each query), holding the level of LAG ms
 *                        before the refresh
 *   MODEMSIM_DCD_LATE_LATER "SECONDS:LAG,PERIOD": that many seconds after the
 *                        first conversion, DCD is reported so from then on
 *                        (a busy bus, a hub); the copy never goes back in
 *                        time, so a lag that grows holds the level last
 *                        seen until the line catches up
 *   MODEMSIM_CALL_MS     "SET,GET" in ms (fractions allowed): each TIOCMSET,
 *                        TIOCMBIS and TIOCMBIC takes SET ms, the line
 *                        changing as it returns (a control transfer over
 *                        USB); each TIOCMGET takes GET ms and answers with
 *                        the line as it was halfway (a driver that asks the
 *                        chip every time)
 *   MODEMSIM_DESELECTED  the data pin while the chip is deselected: "low"
 *                        (default), "keep" (the level it had as DTR rose)
 *                        or "float" (a level of its own, chosen anew at each
 *                        deselect, the same sequence every run)
 *
 * Log lines, each starting with CLOCK_MONOTONIC seconds ("12.345678901"):
 *   <t> DTR <0|1>          a request to set DTR (TIOCMBIS/TIOCMBIC/TIOCMSET)
 *   <t> RTS <0|1>          the same for RTS
 *   <t> DCD <0|1>          a TIOCMGET, with the DCD level it returned
 *   <t> CONV <n> <code>    conversion n (from 1) started; code presented
 *   <t> LATE <lag> <period>  the timing of MODEMSIM_DCD_LATE_LATER took
 *                          over (ms), logged at the first query after
 *   <t> EIO <request>      a call on the device failed on purpose (for
 *                          write() only the first is logged)
 *   <t> WRITES <calls> <offered> <accepted> <odd_sized> <non_zero>
 *                          totals of write() calls on the device, at exit
 *                          of a process that used the device (under Wine
 *                          every helper process inherits the library);
 *                          odd_sized counts calls whose size was not 2,
 *                          non_zero the bytes offered that were not 0x00
 * Levels are the levels after the call: 1 = asserted. A call that takes
 * time is logged as the line changes (DTR, RTS) or is sampled (DCD).
 */
#define _GNU_SOURCE
#include "modemsim.h"

#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/syscall.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

typedef int (*ioctl_fn)(int, unsigned long, ...);
typedef ssize_t (*write_fn)(int, const void *, size_t);

static pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
static pthread_once_t once = PTHREAD_ONCE_INIT;

static ioctl_fn real_ioctl;
static write_fn real_write;

static int active;          /* MODEMSIM_RDEV was given and parsed */
static dev_t target_rdev;
static int log_fd = -1;
static int fail_writes;
static int touched;         /* this process wrote to or ioctl()ed the device */

static unsigned long long write_calls, bytes_offered, bytes_accepted, odd_sized, non_zero;

static void resolve_real(void) {
    /* dlsym hands back an object pointer; copy it into the function pointer
       rather than cast, which ISO C leaves undefined. */
    void *p = dlsym(RTLD_NEXT, "ioctl");
    memcpy(&real_ioctl, &p, sizeof p);
    p = dlsym(RTLD_NEXT, "write");
    memcpy(&real_write, &p, sizeof p);
}

void modemsim_log(const char *fmt, ...) {
    if (log_fd < 0)
        return;
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    char text[256];
    int n = snprintf(text, sizeof text, "%lld.%09ld ", (long long)now.tv_sec, now.tv_nsec);
    va_list args;
    va_start(args, fmt);
    n += vsnprintf(text + n, sizeof text - (size_t)n, fmt, args);
    va_end(args);
    if (n >= (int)sizeof text - 1)
        n = (int)sizeof text - 2;
    text[n++] = '\n';
    /* One write per line (O_APPEND), straight to the kernel: the lines of
       two processes sharing the file never interleave mid-line, and our own
       write() wrapper is not re-entered. */
    syscall(SYS_write, log_fd, text, (size_t)n);
}

static void init(void) {
    resolve_real();
    const char *rdev = getenv("MODEMSIM_RDEV");
    unsigned int major_no, minor_no;
    if (!rdev || sscanf(rdev, "%u:%u", &major_no, &minor_no) != 2)
        return;
    target_rdev = makedev(major_no, minor_no);
    const char *fw = getenv("MODEMSIM_FAIL_WRITES");
    fail_writes = fw && strcmp(fw, "1") == 0;
    const char *log = getenv("MODEMSIM_LOG");
    if (log && *log)
        log_fd = open(log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    converter_init();
    active = 1;
}

static void ensure_init(void) {
    pthread_once(&once, init);
}

static int is_target(int fd) {
    struct stat st;
    if (!active || fstat(fd, &st) != 0)
        return 0;
    return S_ISCHR(st.st_mode) && st.st_rdev == target_rdev;
}

static void nap(long long ns) {
    struct timespec left = {(time_t)(ns / 1000000000LL), (long)(ns % 1000000000LL)};
    while (ns > 0 && nanosleep(&left, &left) != 0 && errno == EINTR)
        ;
}

/* glibc declares ioctl(int, unsigned long, ...); every request passes at
   most one pointer-sized argument. */
int ioctl(int fd, unsigned long request, ...) {
    va_list args;
    va_start(args, request);
    void *arg = va_arg(args, void *);
    va_end(args);

    ensure_init();
    if ((request == TIOCMGET || request == TIOCMSET || request == TIOCMBIS ||
         request == TIOCMBIC) && is_target(fd)) {
        /* A change reaches the line as its call returns; a query samples
           it halfway. The caller waits either way, without the lock. */
        long long takes = converter_call_ns(request);
        long long before = request == TIOCMGET ? takes / 2 : takes;
        nap(before);
        pthread_mutex_lock(&lock);
        touched = 1;
        int result = converter_ioctl(request, (int *)arg);
        int saved = errno;
        pthread_mutex_unlock(&lock);
        nap(takes - before);
        errno = saved;
        return result;
    }
    if (!real_ioctl) {
        errno = ENOSYS;
        return -1;
    }
    return real_ioctl(fd, request, arg);
}

ssize_t write(int fd, const void *buf, size_t count) {
    ensure_init();
    if (!real_write)
        return syscall(SYS_write, fd, buf, count);
    if (!active || !is_target(fd))
        return real_write(fd, buf, count);

    pthread_mutex_lock(&lock);
    touched = 1;
    ++write_calls;
    bytes_offered += count;
    if (count != 2)
        ++odd_sized;
    for (size_t i = 0; i < count; ++i)
        if (((const unsigned char *)buf)[i] != 0)
            ++non_zero;
    int fail = fail_writes && converter_failed();
    pthread_mutex_unlock(&lock);

    if (fail) {
        static int logged;
        pthread_mutex_lock(&lock);
        /* Once: the keep-alive retries every millisecond. */
        if (!logged++)
            modemsim_log("EIO write");
        pthread_mutex_unlock(&lock);
        errno = EIO;
        return -1;
    }
    ssize_t written = real_write(fd, buf, count);
    if (written > 0) {
        pthread_mutex_lock(&lock);
        bytes_accepted += (unsigned long long)written;
        pthread_mutex_unlock(&lock);
    }
    return written;
}

__attribute__((destructor)) static void report_writes(void) {
    if (!active)
        return;
    pthread_mutex_lock(&lock);
    if (touched)
        modemsim_log("WRITES %llu %llu %llu %llu %llu", write_calls, bytes_offered,
                     bytes_accepted, odd_sized, non_zero);
    pthread_mutex_unlock(&lock);
}
