"""Scenarios about the serial line: how the converter is read, the
keep-alive bytes, a line nobody reads, and a line that fails."""

import os

from harness.modem_log import conversions, writes_summary

from .checks import check_recorded_run, saved_entries
from .common import (BIT_PATTERN_CODES, DCD_REFRESHED_LIKE_FTDI, VARIED_CODES, Scenario,
                     cycling, now)


def check_protocol(c, events):
    """Every read: DTR falls, ten RTS pulses each with one DCD read while RTS
    is high, DTR rises before the tenth RTS fall; the bits read, MSB first,
    are the code presented, though DCD is reported late. Nothing else
    touches the lines between reads."""
    calls = c.target.line_calls(events)
    first = next((i for i, (_, k, a) in enumerate(calls) if k == "DTR" and a == ["0"]), None)
    if not c.expect(first is not None, "the program reads the converter at all"):
        return []
    before = [f"{k} {' '.join(a)}" if k != "DCD" else k for _, k, a in calls[:first]]
    allowed = c.target.setup_calls | {"DCD", "DTR 1"}
    c.expect(all(b in allowed for b in before),
             f"before the first read only {sorted(allowed)} ({before})")
    expected_shape = (["DTR 0", "CONV"] + ["RTS 1", "DCD", "RTS 0"] * 9
                      + ["RTS 1", "DCD", "DTR 1", "RTS 0"])
    ticks = []
    i = first
    bad = []
    while i < len(calls):
        chunk = calls[i:i + len(expected_shape)]
        shape = [k + (" " + a[0] if k in ("DTR", "RTS") else "") for _, k, a in chunk]
        if len(chunk) < len(expected_shape):
            # The program may end mid-read: the read is then abandoned.
            if shape != expected_shape[:len(shape)]:
                bad.append(f"an incomplete read at {calls[i][0]:.3f}: {shape}")
            break
        if shape != expected_shape:
            bad.append(f"read at {chunk[0][0]:.3f} goes {shape}")
            break
        bits = [int(a[0]) for _, k, a in chunk if k == "DCD"]
        code = int(chunk[1][2][1])
        value = int("".join(map(str, bits)), 2)
        if value != code:
            bad.append(f"read at {chunk[0][0]:.3f} got bits {bits} for code {code}")
        if chunk[-1][0] - chunk[0][0] > 0.5:
            bad.append(f"read at {chunk[0][0]:.3f} took {chunk[-1][0] - chunk[0][0]:.3f} s")
        ticks.append(chunk[0][0])
        i += len(expected_shape)
    c.expect(not bad, "every read is DTR down, 10 x (RTS up, DCD read, RTS down) with DTR up "
                      "before the last RTS down, and reads the code MSB first"
                      + ("" if not bad else ": " + "; ".join(bad[:3])))
    gaps = [b - a for a, b in zip(ticks, ticks[1:])]
    c.expect(all(0.5 <= g <= 1.5 for g in gaps),
             f"reads are 0.5 to 1.5 s apart (gaps {[round(g, 3) for g in gaps]})")
    return ticks


def drive_line_protocol(d):
    p, w = d.open_form()
    p.wait_readings(5)
    p.close(w)


def check_line_protocol(c):
    events = c.modem_events()
    check_protocol(c, events)
    reads = len(conversions(events))
    c.expect(reads >= 5, f"at least 5 reads ({reads})")
    c.ended_normally("closed cleanly")


def drive_keep_alive(d):
    p, w = d.open_form()
    p.wait_readings(4)
    d.click_command1(w)
    p.wait_exit()


def check_keep_alive(c):
    with open(c.path("master.bin"), "rb") as f:
        data = f.read()  # every byte the runner read from the master side
    c.ended_normally()
    c.expect(len(data) > 0 and data.count(0) == len(data),
             f"every byte on the line is 0x00 ({len(data)} bytes, "
             f"{len(data) - data.count(0)} others)")
    c.expect(len(data) % 2 == 0, f"an even number of bytes ({len(data)})")
    summary = writes_summary(c.modem_events())
    if not c.expect(summary is not None, "the model saw the program's writes (summary at exit)"):
        return
    c.expect(summary["odd_sized"] == 0 and summary["non_zero"] == 0,
             f"each write hands the port exactly two zero bytes ({summary})")
    c.expect(summary["accepted"] == len(data),
             f"every byte the port took reached the other end "
             f"({summary['accepted']} taken, {len(data)} arrived)")
    alive = c.when("main exited") - c.when("main started")
    c.expect(summary["calls"] >= 50 * alive,
             f"about one write a millisecond: at least 50 a second "
             f"({summary['calls']} in {alive:.1f} s)")


BLOCKED_SECONDS = 15


def drive_blocked_line(d):
    p, w = d.open_form()
    p.wait_readings(1)
    rss = [(now(), p.vm_rss_kib())]
    d.event("blocked from")
    for _ in range(BLOCKED_SECONDS):
        p.wait_readings(1)
        rss.append((now(), p.vm_rss_kib()))
    d.event("blocked to")
    d.note("rss", rss)
    p.close(w)


def check_blocked_line(c):
    t0, t1 = c.when("blocked from"), c.when("blocked to")
    events = c.modem_events()
    times = [t for t, _, _ in conversions(events) if t0 <= t <= t1]
    gaps = [b - a for a, b in zip([t0] + times, times + [t1])]
    c.expect(len(times) >= BLOCKED_SECONDS - 3 and max(gaps) <= 2.5,
             f"sampling goes on while nobody reads the line: {len(times)} reads in "
             f"{t1 - t0:.1f} s, longest pause {max(gaps):.2f} s")
    summary = writes_summary(events)
    if c.expect(summary is not None, "the model saw the program's writes (summary at exit)"):
        c.expect(summary["offered"] > 1000 and summary["accepted"] * 2 < summary["offered"],
                 f"the line really was blocked: most bytes offered were refused ({summary})")
        # Bytes held back for later would come out as bigger writes.
        c.expect(summary["odd_sized"] == 0,
                 f"refused bytes are dropped, not kept: every write is of two bytes "
                 f"({summary['odd_sized']} of {summary['calls']} were not)")
    rss = c.facts["rss"]
    growth = (rss[-1][1] - rss[0][1]) / 1024
    c.expect(growth < 5, f"memory (VmRSS) grows less than 5 MB: {rss[0][1]} KiB -> "
                         f"{rss[-1][1]} KiB ({growth:+.2f} MB)")
    c.ended_normally("the program still closes normally")


FAIL_AFTER = 8


def drive_line_failure(d):
    p, w = d.open_form()
    d.click_check1(w)
    p.answer_box(timeout=FAIL_AFTER + 15)
    p.wait_exit()


def check_line_failure(c):
    c.ended_in_error()
    events = c.modem_events()
    c.expect(any(k == "EIO" for _, k, _ in events), "the line did fail (EIO in the model's log)")
    err = c.stderr("main")
    saved = c.target.path_text(os.path.join(c.path("app"), "database.txt"))
    report = c.target.line_failure_report
    c.expect(report in err and f"({c.target.device})" in err,
             f"standard error reports '{report}...({c.target.device})' ({err.strip()!r})")
    c.expect(saved in err, f"and says the readings went to {saved}")
    c.expect(err.count("thermometer:") == 1, "one report")
    c.expect(c.app_files() == ["database.txt"], f"database.txt was written ({c.app_files()})")
    entries = saved_entries(c, "database.txt")
    if entries is None:
        return
    convs = conversions(events)
    c.expect(len(convs) == FAIL_AFTER and len(entries) >= 3,
             f"{len(entries)} readings saved of {len(convs)} reads (failing after {FAIL_AFTER})")
    check_recorded_run(c, entries, convs, "main exited")


SCENARIOS = {
    "line_protocol": Scenario(cycling(BIT_PATTERN_CODES) + DCD_REFRESHED_LIKE_FTDI,
                              drive_line_protocol,
                              check_line_protocol),
    "keep_alive": Scenario(["--save=master.bin"], drive_keep_alive, check_keep_alive),
    "blocked_line": Scenario(["--no-read", "--fill"], drive_blocked_line, check_blocked_line),
    "line_failure": Scenario(cycling(VARIED_CODES) + [f"--fail-after={FAIL_AFTER}"],
                             drive_line_failure, check_line_failure),
}
