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

/* Reads the converter's and the adapter's settings (MODEMSIM_CODES and the
   others modemsim_preload.c lists). */
MODEMSIM_INTERNAL void converter_init(void);

/* TIOCMGET, TIOCMSET, TIOCMBIS or TIOCMBIC on the device, answered by the
   converter: 0, or -1 with errno set. The caller holds the library's lock. */
MODEMSIM_INTERNAL int converter_ioctl(unsigned long request, int *arg);

/* How long a call of this request takes (MODEMSIM_CALL_MS), in ns; the
   caller sleeps it without the lock. */
MODEMSIM_INTERNAL long long converter_call_ns(unsigned long request);

/* Whether the line has gone dead (MODEMSIM_FAIL_AFTER); under the lock. */
MODEMSIM_INTERNAL int converter_failed(void);

#endif
