"""Reading what the converter model logged: its line events, the
conversions it started, and its totals of the program's writes."""

import os


def read_modem_log(path):
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
    return [(t, int(a[0]), int(a[1])) for t, kind, a in events if kind == "CONV"]


def writes_summary(events):
    for _, kind, a in events:
        if kind == "WRITES":
            keys = ("calls", "offered", "accepted", "odd_sized", "non_zero")
            return dict(zip(keys, map(int, a)))
    return None
