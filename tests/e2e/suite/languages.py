"""A language whose decimal separator is a comma: the saved list under it,
and under Wine the readings on the window too. Qt's labels show no text
outside the program: the Qt window's comma is checked by its own test
(tests/qt/test_form1_window.cpp), with the locale set in the program."""

import re

from .checks import check_recorded_run, saved_entries, saved_lines
from .common import VARIED_CODES, Scenario, cycling, expected_temperature

COMMA_LOCALE = "de_DE.UTF-8"


def expected_volts(code):
    return ("%.2f" % (code * 5.083 / 1024)).replace(".", ",") + " Вольт"


def drive_comma_locale(d):
    p, w = d.open_form(locale=COMMA_LOCALE)
    d.click_check1(w)
    p.wait_readings(3)
    d.event("three readings recorded")
    d.note("texts", d.window_texts())
    d.screenshot("comma.png", w)
    d.click_command1(w)
    p.wait_exit()


def check_comma_locale(c):
    c.ended_normally()
    entries = saved_entries(c, "database.txt")
    if entries is None:
        return
    check_recorded_run(c, entries, c.conversions(), "three readings recorded")
    lines = saved_lines(c, "database.txt")
    c.expect(all(re.search(r"    \d\d:\d\d:\d\d$", l) for l in lines),
             f"times are in 24-hour form ({lines[:2]})")
    texts = c.facts.get("texts")
    if texts is None:
        return  # Linux: see the module's note
    statics = [t for cls, t in texts if cls.lower() == "static"]
    volts = {expected_volts(code) for code in VARIED_CODES}
    degrees = {expected_temperature(code) + " *C" for code in VARIED_CODES}
    c.expect(any(t in volts for t in statics),
             f"Label1 shows the voltage with a decimal comma, such as "
             f"{expected_volts(VARIED_CODES[0])!r} ({statics})")
    c.expect(any(t in degrees for t in statics), f"Label3 shows whole degrees ({statics})")
    items = [t for cls, t in texts if cls.startswith("ListBox[")]
    c.expect(len(items) >= 2 and lines[:len(items)] == items,
             f"the list on the window is what was saved ({items[:2]} / {lines[:2]})")


SCENARIOS = {
    "comma_locale": Scenario(cycling(VARIED_CODES), drive_comma_locale, check_comma_locale),
}
