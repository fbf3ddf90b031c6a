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


def cycle_figures(calls):
    """From the line calls in order: the DTR-fall times and, per complete
    cycle, the number of line calls and the time from the DTR fall (Timer1's
    tick) to the cycle's last call, after which the reading is shown."""
    falls, counts, delays, current, deselected = [], [], [], None, False
    for t, kind, args in calls:
        if kind not in ("DTR", "RTS", "DCD"):
            continue
        if kind == "DTR" and args[0] == "0":
            if current is not None:
                counts.append(current)
            falls.append(t)
            current, deselected = 0, False
        if current is not None:
            current += 1
            if kind == "DTR" and args[0] == "1":
                deselected = True
            elif deselected and kind == "RTS" and args[0] == "0":
                delays.append((t - falls[-1]) * 1000.0)
                deselected = False
    return falls, counts, delays
