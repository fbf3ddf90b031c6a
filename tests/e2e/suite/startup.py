"""Scenarios about starting: without the port, with the port already
taken, and the window as it shows in each language."""

import os
import re
import struct
import subprocess
from functools import partial

from harness.window import WINDOW_SIZE

from .common import VARIED_CODES, Scenario, cycling
from .wording import RUSSIAN, check_report


def drive_port_absent(d, locale=None):
    p = d.launch("main", locale)
    p.answer_box(forbid="Form1")
    p.wait_exit(forbid="Form1")


def check_port_absent(c, locale=None):
    c.ended_in_error()
    c.expect(not c.facts.get("main: Form1 shown"), "the window never showed")
    err = c.stderr("main")
    device = re.escape(c.target.device)
    c.expect(re.search(rf": .+\({device}\)$", err, re.M) is not None,
             f"standard error names the device, {c.target.device} ({err.strip()!r})")
    check_report(c, err, locale or c.target.locale, "port missing",
                 c.target.error_numbers["port missing"])
    c.expect(os.path.exists(c.path("main-box.png")), "a message box was shown (main-box.png)")
    c.expect(not c.app_files() and not c.cwd_files(),
             f"no file written ({c.app_files() + c.cwd_files()})")
    c.expect(not c.modem_events(), "no modem line was touched")


def drive_port_busy(d):
    first, w = d.open_form("first")
    second = d.launch("second")
    second.answer_box(forbid="Form1")
    second.wait_exit()
    first.wait_readings(3)
    d.note("first alive", first.proc.poll() is None and bool(first.windows("Form1")))
    first.close(w)


def check_port_busy(c):
    c.ended_in_error("the second instance ends with a non-zero status", "second")
    c.expect(not c.facts.get("second: Form1 shown"), "the second instance never showed its window")
    err = c.stderr("second")
    c.expect(re.search(r"busy|in use", err, re.I) is not None,
             f"its standard error says the port is busy ({err.strip()!r})")
    c.expect(c.facts.get("first alive"), "the first instance is still running with its window")
    after = [t for t, _, _ in c.conversions("first") if t > c.when("second exited")]
    c.expect(len(after) >= 2, f"the first instance kept sampling ({len(after)} reads after)")
    touched = [e for e in c.modem_events("second") if e[1] != "WRITES"]
    c.expect(not touched, f"the second instance never touched the modem lines ({touched[:3]})")
    c.ended_normally("the first instance closes normally", "first")
    c.expect(not c.app_files(), f"no file written ({c.app_files()})")


def drive_pictures(d):
    for tag, locale, dpi in d.target.pictures:
        d.set_dpi(dpi)
        p, w = d.open_form(tag, locale)
        d.click_check1(w)
        p.wait_readings(4)
        d.screenshot(tag + ".png", w)
        if tag in d.target.box_pictures:
            picture_save_error(d, p, w, d.target.box_pictures[tag] + ".png")
        p.close(w)


def picture_save_error(d, p, w, name):
    """The box a save into a missing folder brings up, with its title bar."""
    d.set_text1(w, "nodir/x")
    d.click_command1(w, "Command1 (nodir/x)")
    box = p.wait_window(p.box_title)
    if box is None or not d.focus(box):
        raise RuntimeError(f"{p.tag}: no message box to take")
    d.screenshot(name, box, frame=True)
    p.answer_box()


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n":
        return None
    return struct.unpack(">II", head[16:24])


def check_pictures(c):
    available = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.split()
    for tag, locale, dpi in c.target.pictures:
        name = tag + ".png"
        short = locale.replace("UTF-8", "utf8")
        c.expect(short in available or locale.startswith("C."), f"locale {locale} is installed")
        size = tuple(n * dpi // 96 for n in WINDOW_SIZE)
        c.expect(png_size(c.path(name)) == size,
                 f"{name} shows the {size[0]}x{size[1]} window at {dpi} DPI "
                 f"({png_size(c.path(name)) if os.path.exists(c.path(name)) else 'missing'})")
        c.expect(c.facts.get(f"{tag} exit") == 0, f"{tag}: closed normally")
        box = c.target.box_pictures.get(tag)
        if box:
            c.expect(png_size(c.path(box + ".png")) is not None, f"{box}.png was taken")
        # Only the failed save where one was asked for.
        complaints = c.stderr(tag).count("thermometer:")
        c.expect(complaints == (1 if box else 0), f"{tag}: {complaints} complaints on "
                                                  f"standard error")
    print("pictures in " + c.work, flush=True)


SCENARIOS = {
    "port_absent": Scenario(["--no-port"], drive_port_absent, check_port_absent),
    "port_absent_ru": Scenario(["--no-port"], partial(drive_port_absent, locale=RUSSIAN),
                               partial(check_port_absent, locale=RUSSIAN)),
    "port_busy": Scenario([], drive_port_busy, check_port_busy),
    "pictures": Scenario(cycling(VARIED_CODES), drive_pictures, check_pictures, framed=True),
}
