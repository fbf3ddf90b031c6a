"""Reading what the converter model logged (MODEMSIM_LOG): its line events,
the conversions it started, its totals of the program's writes, and the
program's own line calls cycle by cycle. Each line is
"<CLOCK_MONOTONIC seconds> <KIND> <arguments...>"."""

import os


def read_modem_log(path):
    """[(time, kind, [argument, ...])]; none where the log was never written."""
    events = []
    if not os.path.exists(path):
        return events
    with open(path) as f:
        for line in f:
            parts = line.split()
            if len(parts) >= 2:
                events.append((float(parts[0]), parts[1], parts[2:]))
    return events


def conversions(events):
    """(time, number, code) of each conversion the converter began."""
    return [(t, int(a[0]), int(a[1])) for t, kind, a in events if kind == "CONV"]


def writes_summary(events):
    for _, kind, a in events:
        if kind == "WRITES":
            keys = ("calls", "offered", "accepted", "odd_sized", "non_zero")
            return dict(zip(keys, map(int, a)))
    return None


def line_calls(events):
    """The log as the program's own line calls, one event each (Linux)."""
    return [(t, kind, a) for t, kind, a in events if kind in ("DTR", "RTS", "DCD", "CONV")]


def wine_line_calls(events):
    """Wine changes a line with a read-modify-write of the whole word: each
    call shows as a DCD read followed by the DTR and RTS levels after it.
    Read that as the level that changed, so the program's own calls come
    out one event each, as on Linux."""
    calls = []
    dtr = rts = 1  # the model starts with both asserted
    kinds = [kind for _, kind, _ in events]
    for i, (t, kind, a) in enumerate(events):
        following = kinds[i + 1] if i + 1 < len(kinds) else None
        if kind == "DCD" and following == "DTR":
            continue  # the read half of a change, not a read of its own
        if kind == "DTR":
            if int(a[0]) != dtr:
                dtr = int(a[0])
                calls.append((t, kind, a))
        elif kind == "RTS":
            if int(a[0]) != rts:
                rts = int(a[0])
                calls.append((t, kind, a))
        elif kind in ("DCD", "CONV"):
            calls.append((t, kind, a))
    return calls


# The edges of every read, in this order; DCD reads come anywhere between.
EDGES = ["DTR 0"] + ["RTS 1", "RTS 0"] * 9 + ["RTS 1", "DTR 1", "RTS 0"]
# Bit k is on DCD from edge BIT_SPANS[k][0] (the select, then each fall of
# RTS) until edge BIT_SPANS[k][1] (the next fall, or the deselect).
BIT_SPANS = [(0, 2)] + [(2 * k, 2 * k + 2) for k in range(1, 9)] + [(18, 20)]


class Read:
    """One read as the program made it: its own line calls, from the look
    before DTR falls up to the next read's look, and the code the converter
    presented (None where the log shows no conversion)."""

    def __init__(self, calls, code):
        self.calls = calls    # [(time, "DTR 0" | "RTS 1" | "DCD 0" ..., )]
        self.code = code
        self.edges = [(i, t, what) for i, (t, what) in enumerate(calls)
                      if not what.startswith("DCD")]
        self.fall = self.edges[0][1]
        self.complete = [what for _, _, what in self.edges] == EDGES
        # The reading is shown as the read's own last call returns.
        self.shown_at = calls[-1][0]

    def bit_reads(self, k):
        """The DCD levels read while bit k was on the line."""
        if len(self.edges) <= BIT_SPANS[k][1]:
            return []
        lo, hi = (self.edges[e][0] for e in BIT_SPANS[k])
        return [int(what[4]) for _, what in self.calls[lo + 1:hi] if what.startswith("DCD")]

    def seen_code(self):
        """The code as the program last saw each bit before the next edge
        took it away; None where a bit went unread."""
        bits = [self.bit_reads(k) for k in range(10)]
        if not all(bits):
            return None
        return int("".join(str(b[-1]) for b in bits), 2)


def split_reads(calls):
    """The program's line calls (line_calls or wine_line_calls) as the
    calls before its first read and its reads, in order."""
    plain = [(t, kind + " " + a[0]) for t, kind, a in calls if kind in ("DTR", "RTS", "DCD")]
    codes = [int(a[1]) for _, kind, a in calls if kind == "CONV"]
    falls = [i for i, (_, what) in enumerate(plain) if what == "DTR 0"]
    starts = [i - 1 if i > 0 and plain[i - 1][1].startswith("DCD") else i for i in falls]
    reads = [Read(plain[a:b], codes[n] if n < len(codes) else None)
             for n, (a, b) in enumerate(zip(starts, starts[1:] + [len(plain)]))]
    return plain[:starts[0] if starts else len(plain)], reads


# The first reads after the start measure how late the port shows DCD;
# those after them are its steady state.
MEASURING_READS = 2


def cycle_figures(calls):
    """From the line calls in order: the DTR-fall times and, per read of
    the steady state followed by another, its line calls and the time from
    its DTR fall (Timer1's tick) to its last call, after which the reading
    is shown."""
    _, reads = split_reads(calls)
    steady = [r for r in reads[MEASURING_READS:-1] if r.complete]
    return ([r.fall for r in reads], [len(r.calls) for r in steady],
            [(r.shown_at - r.fall) * 1000.0 for r in steady])
