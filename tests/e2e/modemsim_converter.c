/*
 * The converter as the bench wires it to the modem lines: DTR is the
 * active-low chip select, RTS the clock, DCD the data. Selecting the chip
 * starts a conversion of the next code; each falling clock edge shifts out
 * the next bit, MSB first; after the tenth the data pin is low. While the
 * chip is deselected its data pin is low, keeps the level it had, or floats
 * (MODEMSIM_DESELECTED). The adapter between it and the program may report
 * DCD late, with timing that changes while running, and its calls may take
 * time. See modemsim_preload.c for the settings and the log it writes.
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
static int deselected_level;  /* the data pin while not selected */
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

/* The lateness that takes over a while into the run (MODEMSIM_DCD_LATE_LATER). */
static long long later_after_ns = -1, later_lag_ns, later_period_ns;
static long long first_conversion_ns = -1;

/* How long each call takes (MODEMSIM_CALL_MS). */
static long long set_call_ns, get_call_ns;

enum deselected_pin { PIN_LOW, PIN_KEEPS_LAST_BIT, PIN_FLOATS };
static enum deselected_pin deselected_pin = PIN_LOW;
/* A small generator of its own: the level an open input drifts to is
   nothing the reader may count on, and the same run after run. */
static unsigned float_state = 0x9e3779b9u;

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
}

static void parse_late_later(const char *text) {
    double after;
    long lag, period;
    if (!text || sscanf(text, "%lf:%ld,%ld", &after, &lag, &period) != 3 || after < 0 ||
        lag < 0 || period < 0)
        return;
    later_after_ns = (long long)(after * 1e9);
    later_lag_ns = lag * 1000000LL;
    later_period_ns = period * 1000000LL;
}

static void parse_call_ms(const char *text) {
    double set_ms, get_ms;
    if (!text || sscanf(text, "%lf,%lf", &set_ms, &get_ms) != 2 || set_ms < 0 || get_ms < 0)
        return;
    set_call_ns = (long long)(set_ms * 1e6);
    get_call_ns = (long long)(get_ms * 1e6);
}

static void parse_deselected(const char *text) {
    if (text && strcmp(text, "keep") == 0)
        deselected_pin = PIN_KEEPS_LAST_BIT;
    else if (text && strcmp(text, "float") == 0)
        deselected_pin = PIN_FLOATS;
}

void converter_init(void) {
    parse_late(getenv("MODEMSIM_DCD_LATE"));
    parse_late_later(getenv("MODEMSIM_DCD_LATE_LATER"));
    /* One phase for the run, whatever the period becomes. */
    late_phase_ns = monotonic_ns() ^ ((long long)getpid() << 20);
    parse_call_ms(getenv("MODEMSIM_CALL_MS"));
    parse_deselected(getenv("MODEMSIM_DESELECTED"));
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

long long converter_call_ns(unsigned long request) {
    return request == TIOCMGET ? get_call_ns : set_call_ns;
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
    if (!selected)
        return deselected_level;
    if (bits_shifted >= CODE_BITS)
        return 0;
    return (current_code >> (CODE_BITS - 1 - bits_shifted)) & 1;
}

static void note_dcd_change(void) {
    int level = dcd_level();
    if (level == chip_dcd)
        return;
    chip_dcd = level;
    if (late_lag_ns < 0 && later_after_ns < 0)
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

/* The adapter's timing changes once, that long after the first conversion.
   Its copy never goes back in time: where the lag grows, it holds the
   level last seen until the line's history catches up. */
static void maybe_retime(long long now) {
    if (later_after_ns < 0 || first_conversion_ns < 0 || now < first_conversion_ns + later_after_ns)
        return;
    later_after_ns = -1;
    if (late_lag_ns < 0) {  /* was prompt: every change so far has been seen */
        level_before_changes = chip_dcd;
        change_count = 0;
    }
    late_lag_ns = later_lag_ns;
    late_period_ns = later_period_ns;
    modemsim_log("LATE %lld %lld", late_lag_ns / 1000000, late_period_ns / 1000000);
}

/* DCD as a query now sees it. */
static int reported_dcd(void) {
    long long now = monotonic_ns(), refresh = now;
    maybe_retime(now);
    if (late_lag_ns < 0)
        return dcd_level();
    if (late_period_ns > 0)
        refresh = now - ((now - late_phase_ns) % late_period_ns + late_period_ns) % late_period_ns;
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
        if (++conversions_started == 1)
            first_conversion_ns = monotonic_ns();
        modemsim_log("CONV %ld %d", conversions_started, current_code);
    } else if (!was && level) {
        switch (deselected_pin) {
        case PIN_LOW:
            deselected_level = 0;
            break;
        case PIN_KEEPS_LAST_BIT:
            deselected_level = dcd_level();
            break;
        case PIN_FLOATS:
            float_state = float_state * 1664525u + 1013904223u;
            deselected_level = (float_state >> 28) & 1;
            break;
        }
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
