"""Scenarios about readings outliving the program: a kill mid-recording
and the next start's recovery, and a request to end (SIGTERM) that saves."""

import re
import signal

from .checks import check_run, saved_entries
from .common import CLICK_GRACE, READING_DELAY, VARIED_CODES, Scenario, cycling
from .target import app_folder_files


def drive_killed(d):
    p, w = d.open_form("killed")
    d.click_check1(w)
    p.wait_readings(4)
    d.event("killing")
    p.proc.kill()
    p.proc.wait()
    d.note("files after the kill", app_folder_files(d.work, d.target))
    p, w = d.open_form()
    p.answer_box()  # the recovery message
    d.click_check1(w)
    p.wait_readings(3)
    d.click_command1(w)
    p.wait_exit()


def check_killed(c):
    c.expect(c.facts.get("files after the kill") == ["thermometer.journal"],
             f"the killed program left its journal ({c.facts.get('files after the kill')})")
    c.ended_normally()
    c.expect(c.app_files() == ["database.txt"],
             f"database.txt is the one file left, no journal ({c.app_files()})")
    told = re.search(r"thermometer: (\d+) readings recorded since .* were recovered from "
                     + re.escape(c.path("app/thermometer.journal")), c.stderr("main"))
    if not c.expect(told, f"standard error tells of the recovery ({c.stderr('main').strip()!r})"):
        return
    entries = saved_entries(c, "database.txt")
    if entries is None:
        return
    recovered = int(told[1])
    clicks, killed = c.whens("clicking Check1"), c.when("killing")
    c.expect(recovered >= 3, f"the killed run's readings were recovered ({recovered})")
    check_run(c, entries[:recovered], c.conversions("killed"),
              earliest=clicks[0] - READING_DELAY, latest=killed,
              required_from=c.whens("clicked Check1")[0] + CLICK_GRACE,
              required_to=killed - READING_DELAY)
    check_run(c, entries[recovered:], c.conversions(),
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


SCENARIOS = {
    "killed_recovery": Scenario(cycling(VARIED_CODES), drive_killed, check_killed),
    "sigterm": Scenario(cycling(VARIED_CODES), drive_sigterm, check_sigterm),
}
