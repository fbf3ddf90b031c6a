"""Scenarios about slow adapters: one that shows DCD up to 50 ms late and
takes 3 ms for every DTR and RTS call, and one whose delay grows from 4 to
60 ms while readings are recorded. Whatever the program cannot read for
sure it leaves out; what it records is exact."""

from harness.modem_log import split_reads

from .checks import (check_recorded_steadily, saved_entries, second_of_day, seconds_between,
                     wrong_entries)
from .common import CLICK_GRACE, READING_DELAY, VARIED_CODES, Scenario, cycling
from .line import check_protocol

RECORDED_READINGS = 30


def drive_recording_long(d):
    p, w = d.open_form()
    d.click_check1(w)
    p.wait_readings(RECORDED_READINGS)
    d.click_command1(w)
    p.wait_exit()


def recorded(c):
    """The saved entries, the reads, and the span in which every reading
    shown was recorded; None where nothing was saved."""
    c.ended_normally()
    c.expect(c.app_files() == ["database.txt"], f"database.txt is the one file beside the "
                                                f"program ({c.app_files()})")
    entries = saved_entries(c, "database.txt")
    if entries is None:
        return None
    _, reads = split_reads(c.target.line_calls(c.modem_events()))
    since = c.when("clicked Check1") + CLICK_GRACE
    until = c.when("clicking Command1") - READING_DELAY
    return entries, reads, since, until


def check_slow_adapter(c):
    """A copy of DCD refreshed every 40 ms, 10 ms old, and 3 ms calls."""
    delays = c.announced_port(c.target.device)
    c.expect(bool(delays) and all(10 <= d <= 60 for d in delays),
             f"standard output says the port answers within 10 to 60 ms ({delays})")
    # Where the copy's age varies this much, a read can come out early;
    # the program must notice and drop it (checked on the entries below).
    check_protocol(c, c.modem_events(), exact=False, periods=2)
    found = recorded(c)
    if found is None:
        return
    entries, reads, since, until = found
    wrong = wrong_entries(c, entries, reads)
    c.expect(not wrong, f"every entry is the temperature of the code read in its second "
                        f"(wrong: {wrong[:3]})")
    check_recorded_steadily(c, entries, since, until)


# The delay's growth: 4 ms late, held (no refresh period), until this many
# seconds after the first conversion, then 60 ms.
GROWS_AFTER = 12


def check_delay_grows(c):
    delays = c.announced_port(c.target.device)
    c.expect(bool(delays) and delays[0] <= 10 and 60 <= delays[-1] <= 80,
             f"standard output says the port answers within a few ms, and once the delay has "
             f"grown within 60 to 80 ms ({delays})")
    events = c.modem_events()
    # Bits read too early as the delay grows are the program's to notice.
    check_protocol(c, events, exact=False, periods=2)
    found = recorded(c)
    if found is None:
        return
    entries, reads, since, until = found
    grown = next((t for t, kind, _ in events if kind == "LATE"), None)
    if not c.expect(grown is not None and since < grown < until,
                    "the delay grew while readings were recorded"):
        return
    wrong = wrong_entries(c, entries, reads)
    # A reading taken as the delay grows can be wrong once: its bits
    # were read before the growth showed.
    grew_at = second_of_day(c, grown)
    c.expect(len(wrong) <= 1 and all(abs(seconds_between(grew_at, s)) <= 2 for _, s, _ in wrong),
             f"every entry is the temperature of the code read in its second, but at most "
             f"one as the delay grew (wrong: {wrong[:3]})")
    check_recorded_steadily(c, entries, since, until)


SCENARIOS = {
    "slow_adapter": Scenario(cycling(VARIED_CODES) + ["--dcd-late=10,40", "--call-ms=3,0",
                                                      "--deselected=float"],
                             drive_recording_long, check_slow_adapter),
    "delay_grows": Scenario(cycling(VARIED_CODES) + ["--dcd-late=4,0",
                                                     f"--dcd-late-later={GROWS_AFTER}:60,0"],
                            drive_recording_long, check_delay_grows),
}
