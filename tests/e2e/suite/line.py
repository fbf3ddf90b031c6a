"""Scenarios about the serial line: how the converter is read (through an
adapter that shows DCD late, and on a port that shows it at once), the
keep-alive bytes, a line nobody reads, and a line that fails."""

import os

from harness.modem_log import EDGES, MEASURING_READS, conversions, split_reads, writes_summary

from .checks import check_recorded_run, saved_entries
from .common import (BIT_PATTERN_CODES, DCD_REFRESHED_LIKE_FTDI, PROGRAM_FOLDER, VARIED_CODES, Scenario,
                     cycling, now)


# Line calls a read may make on a port that shows DCD at once, once the
# first reads have measured it.
PROMPT_PORT_CALLS = 42


def check_protocol(c, events, **rules):
    """check_reads on the program's own line calls in the model's log."""
    return check_reads(c, c.target.line_calls(events), **rules)


def check_reads(c, calls, exact=True, prompt=False, periods=1):
    """Every read makes the same edges in the same order with DCD reads
    between them, at least one while each bit is on the line, and no other
    line call; nothing but DCD reads between reads. exact: the bits the
    program last saw before each edge took them away are the code
    presented, in every read (where the delay never exceeds what the
    program has measured). prompt: past the first reads, at most
    PROMPT_PORT_CALLS calls a read. periods: Timer1 periods a read may take.
    Returns the reads."""
    before, reads = split_reads(calls)
    if not c.expect(bool(reads), "the program reads the converter at all"):
        return []
    allowed = c.target.setup_calls | {"DTR 1"}
    c.expect(all(w in allowed or w.startswith("DCD") for _, w in before),
             f"before the first read only DCD reads and {sorted(allowed)} "
             f"({[w for _, w in before]})")
    # The program may end mid-read: the read is then abandoned.
    whole = [r for r in reads if r.complete]
    broken = [r for r in reads[:-1] if not r.complete]
    last = [what for _, _, what in reads[-1].edges]
    if last != EDGES[:len(last)]:
        broken.append(reads[-1])
    c.expect(not broken, f"every read's edges are {' '.join(EDGES)}, DCD reads between them "
                         f"and nothing else" + "".join(
                             f"; read at {r.fall:.3f} goes {[w for _, _, w in r.edges]}"
                             for r in broken[:2]))
    unread = [(r.fall, k) for r in whole for k in range(10) if not r.bit_reads(k)]
    c.expect(not unread, f"in every read DCD is read while each bit is on the line "
                         f"(read at, bit: {unread[:3]})")
    if exact:
        wrong = [(round(r.fall, 3), r.code, r.seen_code()) for r in whole
                 if None not in (r.code, r.seen_code()) and r.seen_code() != r.code]
        c.expect(not wrong, f"in every read the bits last seen before each edge, MSB first, "
                            f"are the code presented (read at, code, seen: {wrong[:3]})")
    # A read that measures the port watches each edge for as long as a
    # change could take: it may run past the next tick, whose read then
    # begins once it ends. Either read first lets the line rest.
    long_ = [(round(r.fall, 3), round(r.edges[-1][1] - r.fall, 3)) for r in whole
             if r.edges[-1][1] - r.fall > periods + 0.5]
    c.expect(not long_, f"every read's edges take at most {periods + 0.5} s ({long_[:3]})")
    pairs = [(a, b) for a, b in zip(reads, reads[1:]) if a.complete]
    close = [(round(a.fall, 3), round(b.fall - a.fall, 3)) for a, b in pairs if b.fall - a.fall < 0.2]
    late = [(round(a.fall, 3), round(b.fall - a.edges[-1][1], 3)) for a, b in pairs
            if b.fall - a.edges[-1][1] > periods + 0.5]
    c.expect(not close and not late,
             f"reads begin at least 0.2 s apart, each within {periods + 0.5} s of the last "
             f"one's edges (too close: {close[:3]}, late: {late[:3]})")
    if prompt:
        counts = [len(r.calls) for r in whole[MEASURING_READS:] if r is not reads[-1]]
        c.expect(bool(counts) and max(counts) <= PROMPT_PORT_CALLS,
                 f"past the first {MEASURING_READS} reads at most {PROMPT_PORT_CALLS} line "
                 f"calls a read ({counts})")
    return reads


class Tally:
    """Checks that count their failures and print nothing."""

    def __init__(self, target):
        self.target = target
        self.failed = 0

    def expect(self, ok, _text):
        self.failed += not ok
        return ok


def with_fault(calls, fault):
    """The calls with one fault made in the third read: two edges swapped,
    a bit left unread, or the last look at a bit seeing it wrong."""
    falls = [i for i, (_, kind, a) in enumerate(calls) if (kind, a[0]) == ("DTR", "0")]
    lo, hi = falls[2], falls[3]
    edges = [i for i in range(lo, hi) if calls[i][1] in ("DTR", "RTS")]
    out = list(calls)
    if fault == "swapped":  # DTR rises before RTS does, for the tenth bit
        a, b = edges[-3], edges[-2]
        out[a], out[b] = (calls[a][0], *calls[b][1:]), (calls[b][0], *calls[a][1:])
    elif fault == "unread":  # nothing looks at the fifth bit
        out = [e for i, e in enumerate(calls)
               if not (edges[8] < i < edges[10] and e[1] == "DCD")]
    else:  # the last look at the tenth bit sees the other level
        i = max(i for i in range(edges[-4], edges[-2]) if calls[i][1] == "DCD")
        out[i] = (calls[i][0], "DCD", [str(1 - int(calls[i][2][0]))])
    return out


def check_refuses_faults(c, events):
    """The protocol check fails where the program would be wrong."""
    calls = c.target.line_calls(events)
    if not c.expect(len(split_reads(calls)[1]) >= 4, "four reads to make a fault in"):
        return
    for fault in ("swapped", "unread", "wrong"):
        tally = Tally(c.target)
        check_reads(tally, with_fault(calls, fault))
        c.expect(tally.failed > 0, f"the same check refuses these reads with a fault made in "
                                   f"one of them ({fault})")


def drive_line_protocol(d):
    p, w = d.open_form()
    p.wait_readings(5)
    p.close(w)


def check_line_protocol(c):
    events = c.modem_events()
    reads = check_protocol(c, events)
    c.expect(len(reads) >= 5, f"at least 5 reads ({len(reads)})")
    check_refuses_faults(c, events)
    c.ended_normally("closed cleanly")


def drive_prompt_port(d):
    p, w = d.open_form()
    p.wait_readings(MEASURING_READS + 4)
    p.close(w)


def check_prompt_port(c):
    """DCD at once, and the data pin keeping its last bit between reads:
    once measured, a read costs few line calls."""
    reads = check_protocol(c, c.modem_events(), prompt=True)
    c.expect(len(reads) >= MEASURING_READS + 4, f"at least {MEASURING_READS + 4} reads "
                                                f"({len(reads)})")
    c.announced_port(c.target.device)
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
    saved = c.target.path_text(os.path.join(c.path(PROGRAM_FOLDER), "database.txt"))
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
    "prompt_port": Scenario(cycling(VARIED_CODES) + ["--deselected=keep"],
                            drive_prompt_port, check_prompt_port),
    "keep_alive": Scenario(["--save=master.bin"], drive_keep_alive, check_keep_alive),
    "blocked_line": Scenario(["--no-read", "--fill"], drive_blocked_line, check_blocked_line),
    "line_failure": Scenario(cycling(VARIED_CODES) + [f"--fail-after={FAIL_AFTER}"],
                             drive_line_failure, check_line_failure),
}
