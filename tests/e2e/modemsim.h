/*
 * The two halves of modemsim_preload: the interposed calls and the log
 * (modemsim_preload.c), and the converter on the modem lines
 * (modemsim_converter.c). Nothing here leaves the library: the only
 * symbols it exports are ioctl() and write().
 */
#ifndef MODEMSIM_H
#define MODEMSIM_H

#define MODEMSIM_INTERNAL __attribute__((visibility("hidden")))

/* One line "<CLOCK_MONOTONIC seconds> <text>" to MODEMSIM_LOG, if set. */
MODEMSIM_INTERNAL void modemsim_log(const char *fmt, ...) __attribute__((format(printf, 1, 2)));

/* Reads MODEMSIM_CODES, MODEMSIM_REPEAT and MODEMSIM_FAIL_AFTER. */
MODEMSIM_INTERNAL void converter_init(void);

/* TIOCMGET, TIOCMSET, TIOCMBIS or TIOCMBIC on the device, answered by the
   converter: 0, or -1 with errno set. The caller holds the library's lock. */
MODEMSIM_INTERNAL int converter_ioctl(unsigned long request, int *arg);

/* Whether the line has gone dead (MODEMSIM_FAIL_AFTER); under the lock. */
MODEMSIM_INTERNAL int converter_failed(void);

#endif
