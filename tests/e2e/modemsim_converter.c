/*
 * The converter as the bench wires it to the modem lines: DTR is the
 * active-low chip select, RTS the clock, DCD the data. Selecting the chip
 * starts a conversion of the next code; each falling clock edge shifts out
 * the next bit, MSB first. See modemsim_preload.c for the settings and the
 * log it writes.
 */
#include "modemsim.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#define MAX_CODES 4096
#define CODE_BITS 10

static int codes[MAX_CODES];
static int code_count;
static int cycle_codes;
static long fail_after = -1;  /* conversions; -1 = never */

/* Line and chip state. Linux leaves DTR and RTS asserted after an open. */
static int dtr = 1, rts = 1;
static int selected;          /* chip select active: DTR de-asserted */
static int current_code;
static int bits_shifted;
static long conversions_started;
static int line_failed;

/* The late copy of DCD: the chip's level changes, oldest first, and the
   level before all of them. A read cycle changes DCD at most 21 times, so
   the ring never fills between two reads made LAG + PERIOD apart. */
#define DCD_HISTORY 256
static long long late_lag_ns = -1;  /* -1: DCD is reported at once */
static long long late_period_ns, late_phase_ns;
static long long change_at[DCD_HISTORY];
static int change_level[DCD_HISTORY];
static int change_first, change_count;
static int level_before_changes, chip_dcd;

static void parse_codes(const char *text) {
    code_count = 0;
    while (text && *text && code_count < MAX_CODES) {
        char *end;
        long v = strtol(text, &end, 10);
        if (end == text)
            break;
        if (v < 0)
            v = 0;
        if (v > 1023)
            v = 1023;
        codes[code_count++] = (int)v;
        text = (*end == ',') ? end + 1 : end;
    }
    if (code_count == 0)
        codes[code_count++] = 600;
}

static long long monotonic_ns(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (long long)now.tv_sec * 1000000000LL + now.tv_nsec;
}

static void parse_late(const char *text) {
    long lag, period;
    if (!text || sscanf(text, "%ld,%ld", &lag, &period) != 2 || lag < 0 || period < 0)
        return;
    late_lag_ns = lag * 1000000LL;
    late_period_ns = period * 1000000LL;
    if (late_period_ns > 0)
        late_phase_ns = (monotonic_ns() ^ ((long long)getpid() << 20)) % late_period_ns;
}

void converter_init(void) {
    parse_late(getenv("MODEMSIM_DCD_LATE"));
    parse_codes(getenv("MODEMSIM_CODES"));
    const char *repeat = getenv("MODEMSIM_REPEAT");
    cycle_codes = repeat && strcmp(repeat, "cycle") == 0;
    const char *fail = getenv("MODEMSIM_FAIL_AFTER");
    if (fail && *fail)
        fail_after = strtol(fail, NULL, 10);
}

int converter_failed(void) {
    return line_failed;
}

/* The line goes dead as the read cycle after the last allowed one begins. */
static void maybe_fail(unsigned long request, int word) {
    if (fail_after < 0 || conversions_started < fail_after || !dtr)
        return;
    if ((request == TIOCMBIC && (word & TIOCM_DTR)) ||
        (request == TIOCMSET && !(word & TIOCM_DTR)))
        line_failed = 1;
}

static int next_code(void) {
    long k = conversions_started;  /* 0-based index of this conversion */
    if (k < code_count)
        return codes[k];
    return cycle_codes ? codes[k % code_count] : codes[code_count - 1];
}

static int dcd_level(void) {
    if (!selected || bits_shifted >= CODE_BITS)
        return 0;
    return (current_code >> (CODE_BITS - 1 - bits_shifted)) & 1;
}

static void note_dcd_change(void) {
    int level = dcd_level();
    if (level == chip_dcd)
        return;
    chip_dcd = level;
    if (late_lag_ns < 0)
        return;
    if (change_count == DCD_HISTORY) {  /* drop the oldest, keeping its level */
        level_before_changes = change_level[change_first];
        change_first = (change_first + 1) % DCD_HISTORY;
        --change_count;
    }
    int slot = (change_first + change_count++) % DCD_HISTORY;
    change_at[slot] = monotonic_ns();
    change_level[slot] = level;
}

/* DCD as a query now sees it. */
static int reported_dcd(void) {
    if (late_lag_ns < 0)
        return dcd_level();
    long long now = monotonic_ns(), refresh = now;
    if (late_period_ns > 0)
        refresh = now - (now - late_phase_ns) % late_period_ns;
    long long sampled = refresh - late_lag_ns;
    while (change_count > 0 && change_at[change_first] <= sampled) {
        level_before_changes = change_level[change_first];
        change_first = (change_first + 1) % DCD_HISTORY;
        --change_count;
    }
    return level_before_changes;
}

static void set_dtr(int level) {
    int was = dtr;
    dtr = level;
    modemsim_log("DTR %d", level);
    if (was && !level) {
        /* Select: the chip samples its input and presents the MSB. */
        selected = 1;
        current_code = next_code();
        bits_shifted = 0;
        ++conversions_started;
        modemsim_log("CONV %ld %d", conversions_started, current_code);
    } else if (!was && level) {
        selected = 0;
    }
}

static void set_rts(int level) {
    int was = rts;
    rts = level;
    modemsim_log("RTS %d", level);
    if (was && !level && selected && bits_shifted < CODE_BITS)
        ++bits_shifted;
}

/* Applies a new modem-line word; DTR goes first, as one TIOCMSET could not
   order them anyway and the chip only cares about the final state. */
static void apply_lines(int word) {
    int new_dtr = (word & TIOCM_DTR) != 0;
    int new_rts = (word & TIOCM_RTS) != 0;
    set_dtr(new_dtr);
    set_rts(new_rts);
    note_dcd_change();
}

/* TIOCMBIS (level 1) and TIOCMBIC (level 0) leave the lines not named alone. */
static void set_named_lines(int word, int level) {
    if (word & TIOCM_DTR)
        set_dtr(level);
    if (word & TIOCM_RTS)
        set_rts(level);
    note_dcd_change();
}

static int current_word(void) {
    int word = 0;
    if (dtr)
        word |= TIOCM_DTR;
    if (rts)
        word |= TIOCM_RTS;
    if (reported_dcd())
        word |= TIOCM_CAR;
    /* Nothing else is wired: CTS, DSR and RI read as low. */
    return word;
}

static const char *request_name(unsigned long request) {
    switch (request) {
    case TIOCMGET: return "TIOCMGET";
    case TIOCMSET: return "TIOCMSET";
    case TIOCMBIS: return "TIOCMBIS";
    case TIOCMBIC: return "TIOCMBIC";
    default: return "write";
    }
}

int converter_ioctl(unsigned long request, int *arg) {
    if (!arg) {
        errno = EFAULT;
        return -1;
    }
    maybe_fail(request, *arg);
    if (converter_failed()) {
        modemsim_log("EIO %s", request_name(request));
        errno = EIO;
        return -1;
    }
    switch (request) {
    case TIOCMGET:
        *arg = current_word();
        modemsim_log("DCD %d", (*arg & TIOCM_CAR) ? 1 : 0);
        return 0;
    case TIOCMSET:
        apply_lines(*arg);
        return 0;
    case TIOCMBIS:
    case TIOCMBIC:
        set_named_lines(*arg, request == TIOCMBIS);
        return 0;
    }
    errno = EINVAL;
    return -1;
}
