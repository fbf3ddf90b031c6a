"""Scenarios about the list: recording readings, and saving it (under the
usual name, a Cyrillic one, one that cannot be written) or leaving it."""

import os
from functools import partial

from .checks import check_recorded_run, check_times, saved_entries, saved_lines
from .common import CLICK_GRACE, DCD_HELD_20_MS, PROGRAM_FOLDER, VARIED_CODES, Scenario, cycling
from .wording import RUSSIAN, check_report


def drive_recording(d):
    p, w = d.open_form()
    d.click_check1(w)
    p.wait_readings(7)
    d.click_command1(w)
    p.wait_exit()


def check_recording(c, device=None):
    c.announced_port(device or c.target.device)
    c.ended_normally()
    c.expect(c.app_files() == ["database.txt"], f"database.txt is the one file beside the "
                                                f"program ({c.app_files()})")
    c.expect(not c.cwd_files(), "nothing written to the working folder")
    entries = saved_entries(c, "database.txt")
    if entries is None:
        return
    c.expect(len(entries) >= 5, f"at least 5 readings recorded in 7 s ({len(entries)})")
    convs = c.conversions()
    c.expect([code for _, _, code in convs] ==
             [VARIED_CODES[k % len(VARIED_CODES)] for k in range(len(convs))],
             "the model presented the codes in turn")
    check_recorded_run(c, entries, convs, "clicking Command1")
    check_times(c, entries)


def check_com3(c):
    """Port 1 where Windows lists COM3 alone, as with a USB adapter."""
    check_recording(c, "COM3")


def drive_close_box(d):
    p, w = d.open_form()
    d.click_check1(w)
    p.wait_readings(4)
    p.close(w)


def check_close_box(c):
    recorded = [t for t, _, _ in c.conversions() if t > c.when("clicked Check1") + CLICK_GRACE]
    c.expect(len(recorded) >= 2, f"readings were being recorded ({len(recorded)})")
    c.ended_normally()
    c.expect(not c.app_files() and not c.cwd_files(),
             f"nothing written ({c.app_files() + c.cwd_files()})")


OLD_CONTENT = b"19    08:00:00\r\n20    08:00:01\r\n"


def prepare_empty_list(work):
    with open(os.path.join(work, PROGRAM_FOLDER, "database.txt"), "wb") as f:
        f.write(OLD_CONTENT)


def drive_empty_list(d):
    p, w = d.open_form()
    p.wait_readings(1)
    d.click_command1(w)
    p.wait_exit()


def check_empty_list(c):
    convs = c.conversions()
    c.expect(len(convs) >= 1, f"the program was sampling ({len(convs)} reads)")
    c.ended_normally()
    c.expect(c.app_files() == ["database.txt"], f"only database.txt beside the program, "
                                                f"no temporary files left ({c.app_files()})")
    size = os.path.getsize(c.path(os.path.join(PROGRAM_FOLDER, "database.txt")))
    c.expect(size == 0, f"the existing database.txt was replaced by an empty file ({size} bytes)")


def drive_cyrillic_name(d):
    p, w = d.open_form()
    d.click_check1(w)
    p.wait_readings(3)
    d.set_text1(w, "журнал")
    d.screenshot("typed.png", w)
    d.click_command1(w)
    p.wait_exit()


def check_cyrillic_name(c):
    c.ended_normally()
    c.expect(c.app_files() == ["журнал.txt"], f"the file is журнал.txt ({c.app_files()})")
    entries = saved_entries(c, "журнал.txt")
    if entries is None:
        return
    convs = c.conversions()
    c.expect(len(entries) >= 2, f"it holds the readings ({len(entries)})")
    check_recorded_run(c, entries, convs, "clicking Command1")


def drive_unwritable_name(d, locale=None):
    p, w = d.open_form(locale=locale)
    d.click_check1(w)
    p.wait_readings(3)
    d.set_text1(w, "nodir/x")
    d.click_command1(w, "Command1 (nodir/x)")
    p.answer_box()
    # Names Windows would take for a device or a stream: refused the same
    # way. Their reasons are the catalogue's, so one language will do.
    for name in ({} if locale else d.target.refused_names):
        d.set_text1(w, name)
        d.click_command1(w, f"Command1 ({name})")
        p.answer_box()
    d.note("window after failed save", p.proc.poll() is None and bool(p.windows("Form1")))
    d.note("list after failed save", d.list1_items())
    p.wait_readings(2)
    d.set_text1(w, "fixed")
    d.click_command1(w, "Command1 (fixed)")
    p.wait_exit()


def check_unwritable_name(c, locale=None):
    c.expect(c.facts.get("window after failed save"),
             "after the failed save the window stays open")
    delays = c.announced_port(c.target.device, locale=locale or c.target.locale)
    c.expect(bool(delays), f"and how late it answers, once it has read ({delays})")
    err = c.stderr("main").splitlines()
    check_report(c, err[0] if err else "", locale or c.target.locale, "save failed",
                 c.target.error_numbers["save failed"])
    for name, reason in ({} if locale else c.target.refused_names).items():
        c.expect(any(reason in l and l.endswith(f"{name}.txt)") for l in err),
                 f"{name} is refused: '{reason}'")
    c.ended_normally()
    c.expect(c.app_files() == ["fixed.txt"],
             f"fixed.txt is the one file; no nodir folder and no temporary files "
             f"({c.app_files()})")
    entries = saved_entries(c, "fixed.txt")
    if entries is None:
        return
    check_recorded_run(c, entries, c.conversions(), "clicking Command1 (fixed)")
    check_times(c, entries)
    kept = c.facts.get("list after failed save")
    if kept is not None:  # only where the driver can read the list
        saved = saved_lines(c, "fixed.txt")
        c.expect(len(kept) >= 3 and saved[:len(kept)] == kept,
                 f"the list kept its {len(kept)} readings through the failed save, and "
                 f"they lead the saved file ({kept[:2]} ... / {saved[:2]} ...)")


SCENARIOS = {
    "recording": Scenario(cycling(VARIED_CODES) + DCD_HELD_20_MS, drive_recording,
                          check_recording),
    "com3": Scenario(cycling(VARIED_CODES) + ["--com=COM3"], drive_recording, check_com3),
    "close_box": Scenario([], drive_close_box, check_close_box),
    "empty_list": Scenario([], drive_empty_list, check_empty_list, prepare_empty_list),
    "cyrillic_name": Scenario(cycling(VARIED_CODES), drive_cyrillic_name, check_cyrillic_name),
    "unwritable_name": Scenario(cycling(VARIED_CODES), drive_unwritable_name,
                                check_unwritable_name),
    "unwritable_name_ru": Scenario(cycling(VARIED_CODES),
                                   partial(drive_unwritable_name, locale=RUSSIAN),
                                   partial(check_unwritable_name, locale=RUSSIAN)),
}
