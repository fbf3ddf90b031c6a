"""Scenarios about starting: without the port, with the port already
taken, and the window as it shows in each language."""

import os
import re
import struct
import subprocess
import time

from .common import VARIED_CODES, WINDOW_SIZE, Scenario, cycling


def drive_port_absent(d):
    p = d.launch("main")
    p.answer_box(forbid="Form1")
    time.sleep(0.5)
    if p.windows("Form1"):
        d.note("main: Form1 shown", True)
    p.wait_exit()


def check_port_absent(c):
    c.ended_in_error()
    c.expect(not c.facts.get("main: Form1 shown"), "the window never showed")
    err = c.stderr("main")
    c.expect(re.search(r"Error \d+: .+\(/dev/ttyS0\)", err) is not None,
             f"standard error reports 'Error N: ... (/dev/ttyS0)' ({err.strip()!r})")
    c.expect(os.path.exists(c.path("main-box.png")), "a message box was shown (main-box.png)")
    c.expect(not c.app_files() and not c.cwd_files(),
             f"no file written ({c.app_files() + c.cwd_files()})")
    c.expect(not c.modem_events(), "no modem line was touched")


def drive_port_busy(d):
    first, w = d.open_form("first")
    time.sleep(1.5)
    second = d.launch("second")
    second.answer_box(forbid="Form1")
    second.wait_exit()
    time.sleep(3)
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


PICTURE_LOCALES = ["C.UTF-8", "de_DE.UTF-8", "ru_RU.UTF-8"]


def picture_name(locale):
    return "window-%s.png" % locale.split(".")[0]


def drive_pictures(d):
    for locale in PICTURE_LOCALES:
        p, w = d.open_form(picture_name(locale)[:-4], locale)
        d.click_check1(w)
        time.sleep(3.5)
        d.screenshot(picture_name(locale), w)
        p.close(w)


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n":
        return None
    return struct.unpack(">II", head[16:24])


def check_pictures(c):
    available = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.split()
    for locale in PICTURE_LOCALES:
        name = picture_name(locale)
        short = locale.replace("UTF-8", "utf8")
        c.expect(short in available or locale.startswith("C."), f"locale {locale} is installed")
        c.expect(png_size(c.path(name)) == WINDOW_SIZE,
                 f"{name} shows the {WINDOW_SIZE[0]}x{WINDOW_SIZE[1]} window "
                 f"({png_size(c.path(name)) if os.path.exists(c.path(name)) else 'missing'})")
        tag = name[:-4]
        c.expect(c.facts.get(f"{tag} exit") == 0, f"{tag}: closed normally")
        err = c.stderr(tag)
        c.expect("thermometer:" not in err, f"{tag}: no complaints on standard error")
    print("pictures in " + c.work, flush=True)


SCENARIOS = {
    "port_absent": Scenario(["--no-port"], drive_port_absent, check_port_absent),
    "port_busy": Scenario([], drive_port_busy, check_port_busy),
    "pictures": Scenario(cycling(VARIED_CODES), drive_pictures, check_pictures),
}
