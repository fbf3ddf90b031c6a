"""Scenarios about a recording outliving what ends or stalls the program:
killed and started again, a request to end (SIGTERM on Linux, the end of the
Wine session), and a scroll bar held down (a modal loop) while readings
come."""

import os
import re
import signal
import subprocess
import time

from .checks import ENTRY, check_recorded_run, check_run, saved_entries
from .common import CLICK_GRACE, PROGRAM_FOLDER, READING_DELAY, VARIED_CODES, Scenario, cycling, now
from .line import check_protocol
from .target import app_folder_files


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
    p, w = d.open_form("killed")
    d.click_check1(w)
    journal = os.path.join(d.work, PROGRAM_FOLDER, journal_name(d.target))
    p.wait_readings(4)
    end = now() + 10
    while len(journal_entries(journal) or []) < 3 and now() < end:
        time.sleep(0.05)
    d.event("killing")
    os.kill(p.proc.pid, signal.SIGKILL)  # the process running the program, Wine's too
    p.proc.wait()
    d.note("files after the kill", app_folder_files(d.work, d.target))
    d.note("journal after the kill", journal_entries(journal))
    p, w = d.open_form()
    p.answer_box()  # the recovery's one message
    d.note("list after the restart", d.list1_items())
    d.click_check1(w)
    p.wait_readings(3)
    d.click_command1(w)
    p.wait_exit()


def check_killed(c):
    kept = c.facts.get("journal after the kill") or []
    journal = journal_name(c.target)
    c.expect(c.facts.get("files after the kill") == [journal] and len(kept) >= 3,
             f"the killed program left its journal with its readings "
             f"({c.facts.get('files after the kill')}, {len(kept)} entries)")
    c.ended_normally()
    c.expect(c.app_files() == ["database.txt"],
             f"database.txt is the one file left, no journal ({c.app_files()})")
    where = re.escape(c.target.path_text(os.path.join(c.path(PROGRAM_FOLDER), journal)))
    told = re.search(r"thermometer: Readings recorded since .* recovered from " + where + r": (\d+)\.",
                     c.stderr("main"))
    if not c.expect(told and int(told[1]) == len(kept),
                    f"the next start tells of the {len(kept)} recovered readings "
                    f"({c.stderr('main').strip()!r})"):
        return
    shown = c.facts.get("list after the restart")
    if shown is not None:  # only where the driver can read the list
        c.expect(shown == kept, f"List1 shows the recovered readings ({shown[:2]} ...)")
    entries = saved_entries(c, "database.txt")
    if entries is None:
        return
    clicks, killed = c.whens("clicking Check1"), c.when("killing")
    check_run(c, entries[:len(kept)], c.conversions("killed"),
              earliest=clicks[0] - READING_DELAY, latest=killed,
              required_from=c.whens("clicked Check1")[0] + CLICK_GRACE,
              required_to=killed - READING_DELAY)
    check_run(c, entries[len(kept):], c.conversions(),
              earliest=clicks[1] - READING_DELAY, latest=c.when("main exited"),
              required_from=c.whens("clicked Check1")[1] + CLICK_GRACE,
              required_to=c.when("clicking Command1") - READING_DELAY)


def drive_sigterm(d):
    p, _ = d.open_form("idle")
    p.proc.send_signal(signal.SIGTERM)
    p.wait_exit()
    d.note("files after the idle run", app_folder_files(d.work, d.target))
    p, w = d.open_form()
    d.click_check1(w)
    p.wait_readings(4)
    d.event("sending SIGTERM")
    p.proc.send_signal(signal.SIGTERM)
    p.wait_exit()


def check_sigterm(c):
    c.ended_normally("with nothing recorded, SIGTERM ends the program with status 0", "idle")
    c.expect(c.facts.get("files after the idle run") == [],
             f"and it writes nothing ({c.facts.get('files after the idle run')})")
    c.ended_normally("while recording, SIGTERM ends the program with status 0")
    c.expect(c.app_files() == ["database.txt"],
             f"database.txt is the one file left, no journal ({c.app_files()})")
    entries = saved_entries(c, "database.txt")
    if entries is None:
        return
    sent = c.when("sending SIGTERM")
    check_run(c, entries, c.conversions(), earliest=c.when("clicking Check1") - READING_DELAY,
              latest=c.when("main exited"),
              required_from=c.when("clicked Check1") + CLICK_GRACE,
              required_to=sent - READING_DELAY)


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
    with open(os.path.join(work, PROGRAM_FOLDER, "thermometer.journal"), "wb") as f:
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
    "sigterm": Scenario(cycling(VARIED_CODES), drive_sigterm, check_sigterm),
    "end_session": Scenario(cycling(VARIED_CODES), drive_end_session, check_end_session),
    "held_scroll_bar": Scenario(cycling(VARIED_CODES), drive_held_scroll_bar,
                                check_held_scroll_bar, prepare_full_list),
}
