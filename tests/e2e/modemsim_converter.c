/*
 * The converter as the bench wires it to the modem lines: DTR is the
 * active-low chip select, RTS the clock, DCD the data. Selecting the chip
 * starts a conversion of the next code; each falling clock edge shifts out
 * the next bit, MSB first. See modemsim_preload.c for the settings and the
 * log it writes.
 */
#include "modemsim.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <termios.h>

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

void converter_init(void) {
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
}

/* TIOCMBIS (level 1) and TIOCMBIC (level 0) leave the lines not named alone. */
static void set_named_lines(int word, int level) {
    if (word & TIOCM_DTR)
        set_dtr(level);
    if (word & TIOCM_RTS)
        set_rts(level);
}

static int current_word(void) {
    int word = 0;
    if (dtr)
        word |= TIOCM_DTR;
    if (rts)
        word |= TIOCM_RTS;
    if (dcd_level())
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
