"""Scenarios about a recording outliving what ends or stalls the program:
killed and started again, the end of the user's session, and a scroll bar
held down (a modal loop) while readings come."""

import os
import signal
import subprocess
import time

from .checks import ENTRY, check_recorded_run, check_run, saved_entries, saved_lines
from .common import CLICK_GRACE, READING_DELAY, VARIED_CODES, Scenario, cycling, now
from .line import check_protocol


def journal_name(target):
    return os.path.splitext(target.exe_name)[0] + ".journal"


def journal_entries(path):
    """The entries of a journal as the program reads it back: whole lines
    that are entries; None when there is no journal."""
    if not os.path.exists(path):
        return None
    with open(path, "rb") as f:
        lines = f.read().decode("utf-8", "replace").split("\n")[:-1]
    return [line for line in lines if ENTRY.fullmatch(line)]


def drive_killed(d):
    p, w = d.open_form()
    d.click_check1(w)
    journal = os.path.join(d.work, "app", journal_name(d.target))
    p.wait_readings(4)
    end = now() + 10
    while len(journal_entries(journal) or []) < 3 and now() < end:
        time.sleep(0.05)
    os.kill(p.proc.pid, signal.SIGKILL)  # the process running the program, Wine's too
    p.proc.wait()
    d.event("killed main")
    d.note("journal after the kill", journal_entries(journal))
    q, w = d.open_form("second")
    q.answer_box()  # the recovery's one message
    d.note("list after the restart", d.list1_items())
    d.click_command1(w)
    q.wait_exit()


def check_killed(c):
    kept = c.facts.get("journal after the kill") or []
    c.expect(len(kept) >= 3, f"the journal held the readings at the kill ({len(kept)})")
    entries = saved_entries(c, "database.txt")
    c.expect(c.app_files() == ["database.txt"],
             f"after \"Выход\" database.txt is the one file: no journal left ({c.app_files()})")
    err = c.stderr("second")
    c.expect(f"{len(kept)} readings recorded since " in err and "recovered" in err,
             f"the second start says {len(kept)} readings were recovered ({err.strip()!r})")
    shown = c.facts.get("list after the restart")
    if shown is not None:  # only where the driver can read the list
        c.expect(shown == kept, f"List1 shows the {len(kept)} recovered readings ({shown[:2]} ...)")
    c.ended_normally("the second start ends with status 0", "second")
    if entries is None:
        return
    c.expect(saved_lines(c, "database.txt") == kept,
             f"\"Выход\" saved every recovered reading and nothing else ({len(entries)})")
    # Nothing recorded before the kill is missing.
    check_run(c, entries, c.conversions(), earliest=c.when("clicking Check1") - READING_DELAY,
              latest=c.when("killed main"), required_from=c.when("clicked Check1") + CLICK_GRACE,
              required_to=c.when("killed main") - READING_DELAY)


def drive_end_session(d):
    p, w = d.open_form()
    d.click_check1(w)
    p.wait_readings(4)
    d.event("ending the session")
    with open(d.path("wineboot.out"), "wb") as out:
        r = subprocess.run(["wineboot", "--end-session"], stdin=subprocess.DEVNULL, stdout=out,
                           stderr=subprocess.STDOUT, timeout=60)
    d.event(f"wineboot --end-session returned {r.returncode}")
    p.wait_exit()


def check_end_session(c):
    c.ended_normally()
    c.expect(c.app_files() == ["database.txt"],
             f"the end of the session saved database.txt, and no journal is left ({c.app_files()})")
    entries = saved_entries(c, "database.txt")
    if entries is None:
        return
    c.expect(len(entries) >= 3, f"it holds the readings ({len(entries)})")
    check_recorded_run(c, entries, c.conversions(), "ending the session")


RECOVERED = 40


def prepare_full_list(work):
    """A journal left behind, so List1 starts with more than it shows."""
    with open(os.path.join(work, "app", "thermometer.journal"), "wb") as f:
        f.write(b"# thermometer journal: recording since 2026-01-05 08:00:00\n")
        for i in range(RECOVERED):
            f.write(b"20    08:00:%02d\n" % i)


def drive_held_scroll_bar(d):
    p, w = d.open_form()
    p.answer_box()  # the recovery's message
    d.click_check1(w)
    p.wait_readings(2)
    out = d.path("scroll_bar.out")
    with open(out, "wb") as f:
        subprocess.run(["wine", d.args.window_texts, "--scroll-bar"], stdin=subprocess.DEVNULL,
                       stdout=f, stderr=subprocess.DEVNULL, timeout=60, check=True)
    with open(out) as f:
        left, top, right, bottom, arrow = map(int, f.read().split())
    d.note("scroll bar", [left, top, right, bottom, arrow])
    # The down arrow: held, it scrolls on and on inside Windows' own loop.
    d.xdo("mousemove", (left + right) // 2, bottom - max(arrow, 2) // 2)
    d.xdo("mousedown", "1")
    d.event("holding the scroll bar")
    time.sleep(3)  # the hold itself
    d.event("letting go of the scroll bar")
    d.xdo("mouseup", "1")
    d.screenshot("held.png", w)
    p.wait_readings(1)
    d.click_command1(w)
    p.wait_exit()


def check_held_scroll_bar(c):
    c.ended_normally()
    c.expect(c.app_files() == ["database.txt"], f"database.txt is the one file ({c.app_files()})")
    held, released = c.when("holding the scroll bar"), c.when("letting go of the scroll bar")
    during = [t for t, _, _ in c.conversions() if held < t < released]
    c.expect(len(during) >= 2, f"readings were taken while the scroll bar was held for "
                               f"{released - held:.1f} s ({len(during)})")
    check_protocol(c, c.modem_events())
    entries = saved_entries(c, "database.txt")
    if entries is None:
        return
    c.expect(len(entries) > RECOVERED, f"the recovered and the new readings were saved "
                                       f"({len(entries)})")
    check_recorded_run(c, entries[RECOVERED:], c.conversions(), "clicking Command1")


SCENARIOS = {
    "killed": Scenario(cycling(VARIED_CODES), drive_killed, check_killed),
    "end_session": Scenario(cycling(VARIED_CODES), drive_end_session, check_end_session),
    "held_scroll_bar": Scenario(cycling(VARIED_CODES), drive_held_scroll_bar,
                                check_held_scroll_bar, prepare_full_list),
}
