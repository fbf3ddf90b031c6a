#!/usr/bin/env python3
"""The thermometer's end-to-end scenarios.

    scenarios.py SCENARIO --program PATH --preload PATH --close-window PATH
                 --runner PATH --work DIR

Each scenario copies the real program into DIR/app (it saves beside itself),
starts its own Xvfb, and runs a driver inside with-virtual-port: a private
mount namespace in which /dev/ttyS0 is a pseudo-terminal whose modem lines
the preloaded converter model answers. The driver works the window with
xdotool as a person would and notes what it did and when (DIR/facts.json);
once the namespace is gone, the checks read the saved files, the model's
logs and the master side of the line, and print one line per check.

Exit status: 0 passed, 1 failed, 77 skipped (no mount namespace here).
"""

import argparse
import json
import os
import re
import shutil
import signal
import stat
import struct
import subprocess
import sys
import time
import traceback

SKIP_STATUS = 77

# The window's controls, in its client coordinates: x, y, width, height.
CHECK1 = (264, 104, 129, 17)
COMMAND1 = (328, 128, 57, 25)
TEXT1 = (88, 136, 121, 19)
WINDOW_SIZE = (391, 160)
# Message boxes of the program carry this title.
BOX_TITLE = "Thermometer"
PORT = "/dev/ttyS0"
PTY_SLAVE_MAJORS = range(136, 144)

# Codes whose readings are whole degrees well inside a hundredth of a volt:
# 20, 25, 18, 23, 0, -5, 21, 27, 19 and 24 degrees. Neighbours differ in
# many bits, so a slipped clock or a bit read out of turn shows at once.
VARIED_CODES = [590, 601, 586, 597, 549, 539, 593, 604, 588, 599]
# For the bit-level check: all ones, all zeros, the MSB alone, alternating.
BIT_PATTERN_CODES = [1023, 0, 512, 341, 682, 1]

# How long after xdotool returns the program may take to act on a click.
CLICK_GRACE = 0.75


def now():
    return time.monotonic()  # CLOCK_MONOTONIC, the clock of the modem log


def centre(rect, dx=None):
    x, y, w, h = rect
    return (x + (w // 2 if dx is None else dx), y + h // 2)


def expected_temperature(code):
    """The temperature text the window shows for a converter code: the
    voltage (5.083 V full scale over 1024 steps) rounded to hundredths, with
    2.73 V at 0 degC and 10 mV per degree. The codes used here all give whole
    degrees."""
    volts_text = "%.2f" % (code * 5.083 / 1024)
    return str(round((float(volts_text) - 2.73) * 100))


# ------------------------------------------------------------------ driver
# Runs inside the namespace.

class Driver:
    def __init__(self, args):
        self.args = args
        self.work = args.work
        self.exe = os.path.join(self.work, "app", "thermometer")
        self.facts = {"events": []}
        self.programs = []
        self.runtime_dir = os.path.join(self.work, "runtime")
        os.makedirs(self.runtime_dir, mode=0o700, exist_ok=True)

    def path(self, name):
        return os.path.join(self.work, name)

    def note(self, key, value):
        self.facts[key] = value

    def event(self, what):
        self.facts["events"].append([now(), what])

    # -- safety: the program only ever starts where /dev/ttyS0 is ours
    def assert_port_safe(self):
        outer = os.environ.get("VPORT_OUTER_MNTNS")
        if not outer or os.readlink("/proc/self/ns/mnt") == outer:
            raise SystemExit("refusing to start the program: not in the private mount namespace")
        rdev = os.environ.get("MODEMSIM_RDEV")
        if rdev is None:
            if os.path.lexists(PORT):
                raise SystemExit(f"refusing to start the program: {PORT} exists")
            return
        major, minor = (int(n) for n in rdev.split(":"))
        st = os.stat(PORT)
        if not (stat.S_ISCHR(st.st_mode) and major in PTY_SLAVE_MAJORS
                and (os.major(st.st_rdev), os.minor(st.st_rdev)) == (major, minor)):
            raise SystemExit(f"refusing to start the program: {PORT} is "
                             f"{os.major(st.st_rdev)}:{os.minor(st.st_rdev)}, not {rdev}")

    def launch(self, tag, locale="C.UTF-8"):
        self.assert_port_safe()
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("QT_", "LC_", "LANG")) and k != "LD_PRELOAD"}
        env.update(LD_PRELOAD=os.environ["MODEMSIM_PRELOAD"],
                   MODEMSIM_LOG=self.path(f"{tag}.modem.log"),
                   QT_QPA_PLATFORM="xcb", LC_ALL=locale, LANG=locale,
                   XDG_RUNTIME_DIR=self.runtime_dir)
        cwd = self.path("cwd")  # not the program's folder: the file must go beside the program
        os.makedirs(cwd, exist_ok=True)
        err = open(self.path(f"{tag}.stderr"), "wb")
        proc = subprocess.Popen([self.exe], env=env, cwd=cwd, stdin=subprocess.DEVNULL,
                                stdout=err, stderr=err)
        err.close()
        program = Program(self, tag, proc)
        self.programs.append(program)
        self.event(f"{tag} started (pid {proc.pid})")
        return program

    def cleanup(self):
        for p in self.programs:
            p.kill()

    # -- X
    def xdo(self, *args, check=True):
        r = subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True,
                           stdin=subprocess.DEVNULL, timeout=30)
        if check and r.returncode != 0:
            raise RuntimeError(f"xdotool {' '.join(map(str, args))}: {r.stderr.strip()}")
        return r

    def click(self, wid, point, what):
        self.event(f"clicking {what}")
        self.xdo("mousemove", "--window", wid, point[0], point[1], "click", "1")
        self.event(f"clicked {what}")

    def set_text1(self, wid, text):
        self.click(wid, centre(TEXT1), "Text1")
        self.xdo("key", "--clearmodifiers", "ctrl+a")
        self.xdo("type", "--delay", "40", text)
        time.sleep(0.4)
        self.event(f"typed {text!r}")

    def close_box(self, wid):
        r = subprocess.run([self.args.close_window, str(wid)], capture_output=True, text=True,
                           stdin=subprocess.DEVNULL, timeout=30)
        if r.returncode != 0:
            raise RuntimeError(f"close_window: {r.stderr.strip()}")
        self.event("sent WM_DELETE_WINDOW")

    def screenshot(self, name, wid="root"):
        subprocess.run(["import", "-window", str(wid), self.path(name)],
                       stdin=subprocess.DEVNULL, capture_output=True, timeout=60)

    def save_facts(self):
        with open(self.path("facts.json"), "w") as f:
            json.dump(self.facts, f, indent=1)


class Program:
    def __init__(self, driver, tag, proc):
        self.d = driver
        self.tag = tag
        self.proc = proc

    def windows(self, title):
        r = self.d.xdo("search", "--all", "--onlyvisible", "--pid", self.proc.pid,
                       "--name", f"^{re.escape(title)}$", check=False)
        return [int(w) for w in r.stdout.split()]

    def wait_window(self, title, timeout=20.0, forbid=None):
        """Waits for a visible window of this process; returns its id, or
        None when the process ended or time ran out. With forbid, notes
        (in facts) whether a window of that title showed meanwhile."""
        end = now() + timeout
        while now() < end:
            found = self.windows(title)
            if forbid and self.windows(forbid):
                self.d.note(f"{self.tag}: {forbid} shown", True)
            if found:
                self.d.event(f"{self.tag}: {title} visible")
                return found[0]
            if self.proc.poll() is not None:
                return None
            time.sleep(0.1)
        return None

    def form(self):
        wid = self.wait_window("Form1")
        if wid is None:
            raise RuntimeError(f"{self.tag}: the window Form1 did not appear "
                               f"(exit status {self.proc.poll()})")
        # Let the program settle; a first click while it maps can get lost.
        time.sleep(0.3)
        return wid

    def answer_box(self, timeout=20.0, forbid=None):
        box = self.wait_window(BOX_TITLE, timeout, forbid)
        if box is None:
            raise RuntimeError(f"{self.tag}: no message box appeared")
        time.sleep(0.3)
        self.d.screenshot(f"{self.tag}-box.png")
        self.d.xdo("windowfocus", box, check=False)
        time.sleep(0.2)
        for _ in range(10):
            self.d.xdo("key", "Return")
            self.d.event(f"{self.tag}: answered the box")
            end = now() + 2
            while now() < end:
                if box not in self.windows(BOX_TITLE):
                    return
                time.sleep(0.1)
        raise RuntimeError(f"{self.tag}: the message box did not go away")

    def wait_exit(self, timeout=20.0):
        try:
            status = self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            self.kill()
            status = None
        self.d.note(f"{self.tag} exit", status)
        self.d.event(f"{self.tag} exited ({status})")
        return status

    def vm_rss_kib(self):
        with open(f"/proc/{self.proc.pid}/status") as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
        return None

    def kill(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()


# ------------------------------------------------------------------ checks
# Run outside, after the namespace is gone.

class Checks:
    def __init__(self, work):
        self.work = work
        self.failed = 0
        with open(os.path.join(work, "facts.json")) as f:
            self.facts = json.load(f)

    def path(self, name):
        return os.path.join(self.work, name)

    def expect(self, ok, text):
        print(("ok      " if ok else "FAILED  ") + text, flush=True)
        if not ok:
            self.failed += 1
        return ok

    def when(self, what):
        """Monotonic time of the first event that starts with `what`."""
        for t, text in self.facts["events"]:
            if text.startswith(what):
                return t
        raise KeyError(what)

    def whens(self, what):
        return [t for t, text in self.facts["events"] if text.startswith(what)]

    def stderr(self, tag):
        with open(self.path(f"{tag}.stderr"), "rb") as f:
            return f.read().decode("utf-8", "replace")

    def app_files(self):
        return sorted(n for n in os.listdir(self.path("app")) if n != "thermometer")

    def cwd_files(self):
        d = self.path("cwd")
        return sorted(os.listdir(d)) if os.path.isdir(d) else []


def read_modem_log(path):
    events = []
    if not os.path.exists(path):
        return events
    with open(path) as f:
        for line in f:
            parts = line.split()
            if len(parts) >= 2:
                events.append((float(parts[0]), parts[1], parts[2:]))
    return events


def conversions(events):
    return [(t, int(a[0]), int(a[1])) for t, kind, a in events if kind == "CONV"]


def writes_summary(events):
    for _, kind, a in events:
        if kind == "WRITES":
            keys = ("calls", "offered", "accepted", "odd_sized", "non_zero")
            return dict(zip(keys, map(int, a)))
    return None


ENTRY = re.compile(r"(-?\d+(?:[.,]\d+)?)    (\d\d):(\d\d):(\d\d)")


def read_entries(c, name):
    """The saved list as (temperature text, seconds of day) pairs, after
    checking its form: UTF-8, every line ends in CR LF, each line is
    '<temperature>    <time>'. None when the form is wrong."""
    with open(c.path(os.path.join("app", name)), "rb") as f:
        data = f.read()
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError:
        c.expect(False, f"{name} is UTF-8")
        return None
    if not c.expect(data == b"" or data.endswith(b"\r\n"), f"{name} ends with CR LF"):
        return None
    lines = text.split("\r\n")[:-1] if data else []
    if not c.expect(all("\n" not in l and "\r" not in l for l in lines),
                    f"{name}: every line ends in CR LF (no bare LF or CR)"):
        return None
    matches = [ENTRY.fullmatch(line) for line in lines]
    bad = [line for line, m in zip(lines, matches) if m is None]
    if not c.expect(not bad, f"{name}: each of the {len(lines)} lines is "
                             f"'<temperature>    <hh:mm:ss>' ({bad[:3] or lines[:2]})"):
        return None
    return [(m[1], int(m[2]) * 3600 + int(m[3]) * 60 + int(m[4])) for m in matches]


def check_times(c, entries):
    steps = [(b[1] - a[1]) % 86400 for a, b in zip(entries, entries[1:])]
    c.expect(all(0 <= s <= 2 for s in steps),
             f"times never go backwards and are at most 2 s apart (steps {steps})")


def check_run(c, entries, convs, earliest, latest, required_from, required_to):
    """The entries are the readings of consecutive conversions, one each,
    in order: none started before `earliest` or after `latest`, and every
    conversion between required_from and required_to is among them."""
    temps = [e[0] for e in entries]
    codes_desc = ", ".join(f"#{n}:{code}@{t:.2f}" for t, n, code in convs)
    matches = []
    for j in range(len(convs) - len(entries) + 1):
        run = convs[j:j + len(entries)]
        if [expected_temperature(code) for _, _, code in run] != temps:
            continue
        if run and (run[0][0] < earliest or run[-1][0] > latest):
            continue
        covered = {n for _, n, _ in run}
        required = {n for t, n, _ in convs if required_from < t < required_to}
        if required <= covered:
            matches.append(j)
    c.expect(bool(matches),
             f"the {len(entries)} entries {temps} are the readings of consecutive conversions "
             f"between {earliest:.2f} and {latest:.2f} s, including all of those between "
             f"{required_from:.2f} and {required_to:.2f} s (conversions: {codes_desc})")


def check_protocol(c, events):
    """Every read: DTR falls, ten RTS pulses each with one DCD read while RTS
    is high, DTR rises before the tenth RTS fall; the bits read, MSB first,
    are the code presented. Nothing else touches the lines between reads."""
    calls = [(t, kind, a) for t, kind, a in events if kind in ("DTR", "RTS", "DCD", "CONV")]
    first = next((i for i, (_, k, a) in enumerate(calls) if k == "DTR" and a == ["0"]), None)
    if not c.expect(first is not None, "the program reads the converter at all"):
        return []
    before = [(k, a) for _, k, a in calls[:first]]
    c.expect(all(k == "DCD" or (k, a) == ("DTR", ["1"]) for k, a in before),
             f"before the first read only DTR is raised ({before})")
    expected_shape = (["DTR 0", "CONV"] + ["RTS 1", "DCD", "RTS 0"] * 9
                      + ["RTS 1", "DCD", "DTR 1", "RTS 0"])
    ticks = []
    i = first
    bad = []
    while i < len(calls):
        chunk = calls[i:i + len(expected_shape)]
        if len(chunk) < len(expected_shape):
            bad.append(f"an incomplete read at {calls[i][0]:.3f}: {[(k, a) for _, k, a in chunk]}")
            break
        shape = [k + (" " + a[0] if k in ("DTR", "RTS") else "") for _, k, a in chunk]
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


# --------------------------------------------------------------- scenarios
# Each: runner options, drive (inside), check (outside).

def drive_recording(d):
    p = d.launch("main")
    w = p.form()
    time.sleep(1.2)
    d.click(w, centre(CHECK1, 8), "Check1")
    time.sleep(7.2)
    d.click(w, centre(COMMAND1), "Command1")
    p.wait_exit()


def check_recording(c):
    c.expect(c.facts.get("main exit") == 0, f"the program ended with status 0 "
                                            f"({c.facts.get('main exit')})")
    c.expect(c.app_files() == ["database.txt"], f"database.txt is the one file beside the "
                                                f"program ({c.app_files()})")
    c.expect(not c.cwd_files(), "nothing written to the working folder")
    if "database.txt" not in c.app_files():
        return
    entries = read_entries(c, "database.txt")
    if entries is None:
        return
    c.expect(len(entries) >= 5, f"at least 5 readings recorded in 7 s ({len(entries)})")
    convs = conversions(read_modem_log(c.path("main.modem.log")))
    c.expect([code for _, _, code in convs] ==
             [VARIED_CODES[k % len(VARIED_CODES)] for k in range(len(convs))],
             "the model presented the codes in turn")
    check_run(c, entries, convs,
              earliest=c.when("clicking Check1"), latest=c.when("main exited"),
              required_from=c.when("clicked Check1") + CLICK_GRACE,
              required_to=c.when("clicking Command1"))
    check_times(c, entries)


def drive_line_protocol(d):
    p = d.launch("main")
    w = p.form()
    time.sleep(5.5)
    d.close_box(w)
    p.wait_exit()


def check_line_protocol(c):
    events = read_modem_log(c.path("main.modem.log"))
    check_protocol(c, events)
    reads = len(conversions(events))
    c.expect(reads >= 4, f"at least 4 reads in 5.5 s ({reads})")
    c.expect(c.facts.get("main exit") == 0, f"closed cleanly ({c.facts.get('main exit')})")


def drive_keep_alive(d):
    p = d.launch("main")
    w = p.form()
    time.sleep(4)
    d.click(w, centre(COMMAND1), "Command1")
    p.wait_exit()


def check_keep_alive(c):
    with open(c.path("master.bin"), "rb") as f:
        data = f.read()
    c.expect(c.facts.get("main exit") == 0, f"the program ended with status 0 "
                                            f"({c.facts.get('main exit')})")
    c.expect(len(data) > 0 and data.count(0) == len(data),
             f"every byte on the line is 0x00 ({len(data)} bytes, "
             f"{len(data) - data.count(0)} others)")
    c.expect(len(data) % 2 == 0, f"an even number of bytes ({len(data)})")
    summary = writes_summary(read_modem_log(c.path("main.modem.log")))
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
    p = d.launch("main")
    w = p.form()
    time.sleep(2)
    rss = [(now(), p.vm_rss_kib())]
    d.event("blocked from")
    for _ in range(BLOCKED_SECONDS):
        time.sleep(1)
        rss.append((now(), p.vm_rss_kib()))
    d.event("blocked to")
    d.note("rss", rss)
    d.close_box(w)
    p.wait_exit()


def check_blocked_line(c):
    t0, t1 = c.when("blocked from"), c.when("blocked to")
    events = read_modem_log(c.path("main.modem.log"))
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
    c.expect(c.facts.get("main exit") == 0, f"the program still closes normally "
                                            f"({c.facts.get('main exit')})")


def drive_close_box(d):
    p = d.launch("main")
    w = p.form()
    d.click(w, centre(CHECK1, 8), "Check1")
    time.sleep(4.2)
    d.close_box(w)
    p.wait_exit()


def check_close_box(c):
    convs = conversions(read_modem_log(c.path("main.modem.log")))
    recorded = [t for t, _, _ in convs if t > c.when("clicked Check1") + CLICK_GRACE]
    c.expect(len(recorded) >= 2, f"readings were being recorded ({len(recorded)})")
    c.expect(c.facts.get("main exit") == 0, f"the program ended with status 0 "
                                            f"({c.facts.get('main exit')})")
    c.expect(not c.app_files() and not c.cwd_files(),
             f"nothing written ({c.app_files() + c.cwd_files()})")


OLD_CONTENT = b"19    08:00:00\r\n20    08:00:01\r\n"


def prepare_empty_list(work):
    with open(os.path.join(work, "app", "database.txt"), "wb") as f:
        f.write(OLD_CONTENT)


def drive_empty_list(d):
    p = d.launch("main")
    w = p.form()
    time.sleep(2.5)
    d.click(w, centre(COMMAND1), "Command1")
    p.wait_exit()


def check_empty_list(c):
    convs = conversions(read_modem_log(c.path("main.modem.log")))
    c.expect(len(convs) >= 1, f"the program was sampling ({len(convs)} reads)")
    c.expect(c.facts.get("main exit") == 0, f"the program ended with status 0 "
                                            f"({c.facts.get('main exit')})")
    c.expect(c.app_files() == ["database.txt"], f"only database.txt beside the program, "
                                                f"no temporary files left ({c.app_files()})")
    size = os.path.getsize(c.path("app/database.txt"))
    c.expect(size == 0, f"the existing database.txt was replaced by an empty file ({size} bytes)")


def drive_cyrillic_name(d):
    p = d.launch("main")
    w = p.form()
    d.click(w, centre(CHECK1, 8), "Check1")
    time.sleep(3.2)
    d.set_text1(w, "журнал")
    d.screenshot("typed.png", w)
    d.click(w, centre(COMMAND1), "Command1")
    p.wait_exit()


def check_cyrillic_name(c):
    c.expect(c.facts.get("main exit") == 0, f"the program ended with status 0 "
                                            f"({c.facts.get('main exit')})")
    c.expect(c.app_files() == ["журнал.txt"], f"the file is журнал.txt ({c.app_files()})")
    if "журнал.txt" not in c.app_files():
        return
    entries = read_entries(c, "журнал.txt")
    if entries is None:
        return
    convs = conversions(read_modem_log(c.path("main.modem.log")))
    c.expect(len(entries) >= 2, f"it holds the readings ({len(entries)})")
    check_run(c, entries, convs, earliest=c.when("clicking Check1"),
              latest=c.when("main exited"),
              required_from=c.when("clicked Check1") + CLICK_GRACE,
              required_to=c.when("clicking Command1"))


def drive_port_absent(d):
    p = d.launch("main")
    p.answer_box(forbid="Form1")
    time.sleep(0.5)
    if p.windows("Form1"):
        d.note("main: Form1 shown", True)
    p.wait_exit()


def check_port_absent(c):
    c.expect(c.facts.get("main exit") not in (0, None),
             f"the program ends with a non-zero status ({c.facts.get('main exit')})")
    c.expect(not c.facts.get("main: Form1 shown"), "the window never showed")
    err = c.stderr("main")
    c.expect(re.search(r"Error \d+: .+\(/dev/ttyS0\)", err) is not None,
             f"standard error reports 'Error N: ... (/dev/ttyS0)' ({err.strip()!r})")
    c.expect(os.path.exists(c.path("main-box.png")), "a message box was shown (main-box.png)")
    c.expect(not c.app_files() and not c.cwd_files(),
             f"no file written ({c.app_files() + c.cwd_files()})")
    c.expect(not read_modem_log(c.path("main.modem.log")), "no modem line was touched")


def drive_port_busy(d):
    first = d.launch("first")
    w = first.form()
    time.sleep(1.5)
    second = d.launch("second")
    second.answer_box(forbid="Form1")
    second.wait_exit()
    time.sleep(3)
    d.note("first alive", first.proc.poll() is None and bool(first.windows("Form1")))
    d.close_box(w)
    first.wait_exit()


def check_port_busy(c):
    c.expect(c.facts.get("second exit") not in (0, None),
             f"the second instance ends with a non-zero status ({c.facts.get('second exit')})")
    c.expect(not c.facts.get("second: Form1 shown"), "the second instance never showed its window")
    err = c.stderr("second")
    c.expect(re.search(r"busy|in use", err, re.I) is not None,
             f"its standard error says the port is busy ({err.strip()!r})")
    c.expect(c.facts.get("first alive"), "the first instance is still running with its window")
    convs = conversions(read_modem_log(c.path("first.modem.log")))
    after = [t for t, _, _ in convs if t > c.when("second exited")]
    c.expect(len(after) >= 2, f"the first instance kept sampling ({len(after)} reads after)")
    touched = [e for e in read_modem_log(c.path("second.modem.log")) if e[1] != "WRITES"]
    c.expect(not touched, f"the second instance never touched the modem lines ({touched[:3]})")
    c.expect(c.facts.get("first exit") == 0, f"the first instance closes normally "
                                             f"({c.facts.get('first exit')})")
    c.expect(not c.app_files(), f"no file written ({c.app_files()})")


def drive_unwritable_name(d):
    p = d.launch("main")
    w = p.form()
    d.click(w, centre(CHECK1, 8), "Check1")
    time.sleep(3.2)
    d.set_text1(w, "nodir/x")
    d.click(w, centre(COMMAND1), "Command1 (nodir/x)")
    p.answer_box()
    d.note("window after failed save", p.proc.poll() is None and bool(p.windows("Form1")))
    time.sleep(2.2)
    d.set_text1(w, "fixed")
    d.click(w, centre(COMMAND1), "Command1 (fixed)")
    p.wait_exit()


def check_unwritable_name(c):
    c.expect(c.facts.get("window after failed save"),
             "after the failed save the window stays open")
    c.expect(c.facts.get("main exit") == 0, f"the program ended with status 0 "
                                            f"({c.facts.get('main exit')})")
    c.expect(c.app_files() == ["fixed.txt"],
             f"fixed.txt is the one file; no nodir folder and no temporary files "
             f"({c.app_files()})")
    if "fixed.txt" not in c.app_files():
        return
    entries = read_entries(c, "fixed.txt")
    if entries is None:
        return
    convs = conversions(read_modem_log(c.path("main.modem.log")))
    check_run(c, entries, convs, earliest=c.when("clicking Check1"),
              latest=c.when("main exited"),
              required_from=c.when("clicked Check1") + CLICK_GRACE,
              required_to=c.when("clicking Command1 (fixed)"))
    check_times(c, entries)


FAIL_AFTER = 8


def drive_line_failure(d):
    p = d.launch("main")
    w = p.form()
    d.click(w, centre(CHECK1, 8), "Check1")
    p.answer_box(timeout=FAIL_AFTER + 15)
    p.wait_exit()


def check_line_failure(c):
    status = c.facts.get("main exit")
    c.expect(status not in (0, None), f"the program ends with a non-zero status ({status})")
    events = read_modem_log(c.path("main.modem.log"))
    c.expect(any(k == "EIO" for _, k, _ in events), "the line did fail (EIO in the model's log)")
    err = c.stderr("main")
    saved = os.path.join(c.path("app"), "database.txt")
    c.expect("Error 5: Input/output error (/dev/ttyS0)" in err,
             f"standard error reports 'Error 5: Input/output error (/dev/ttyS0)' ({err.strip()!r})")
    c.expect(saved in err, f"and says the readings went to {saved}")
    c.expect(c.app_files() == ["database.txt"], f"database.txt was written ({c.app_files()})")
    if "database.txt" not in c.app_files():
        return
    entries = read_entries(c, "database.txt")
    if entries is None:
        return
    convs = conversions(events)
    c.expect(len(convs) == FAIL_AFTER and len(entries) >= 3,
             f"{len(entries)} readings saved of {len(convs)} reads (failing after {FAIL_AFTER})")
    check_run(c, entries, convs, earliest=c.when("clicking Check1"),
              latest=c.when("main exited"),
              required_from=c.when("clicked Check1") + CLICK_GRACE,
              required_to=c.when("main exited"))


PICTURE_LOCALES = ["C.UTF-8", "de_DE.UTF-8", "ru_RU.UTF-8"]


def picture_name(locale):
    return "window-%s.png" % locale.split(".")[0]


def drive_pictures(d):
    for locale in PICTURE_LOCALES:
        tag = picture_name(locale)[:-4]
        p = d.launch(tag, locale)
        w = p.form()
        d.click(w, centre(CHECK1, 8), "Check1")
        time.sleep(3.5)
        d.screenshot(picture_name(locale), w)
        d.close_box(w)
        p.wait_exit()


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
    "recording": ([f"--codes={','.join(map(str, VARIED_CODES))}", "--cycle"],
                  drive_recording, check_recording),
    "line_protocol": ([f"--codes={','.join(map(str, BIT_PATTERN_CODES))}", "--cycle"],
                      drive_line_protocol, check_line_protocol),
    "keep_alive": (["--save=master.bin"], drive_keep_alive, check_keep_alive),
    "blocked_line": (["--no-read", "--fill"], drive_blocked_line, check_blocked_line),
    "close_box": ([], drive_close_box, check_close_box),
    "empty_list": ([], drive_empty_list, check_empty_list),
    "cyrillic_name": ([f"--codes={','.join(map(str, VARIED_CODES))}", "--cycle"],
                      drive_cyrillic_name, check_cyrillic_name),
    "port_absent": (["--no-port"], drive_port_absent, check_port_absent),
    "port_busy": ([], drive_port_busy, check_port_busy),
    "unwritable_name": ([f"--codes={','.join(map(str, VARIED_CODES))}", "--cycle"],
                        drive_unwritable_name, check_unwritable_name),
    "line_failure": ([f"--codes={','.join(map(str, VARIED_CODES))}", "--cycle",
                      f"--fail-after={FAIL_AFTER}"], drive_line_failure, check_line_failure),
    "pictures": ([f"--codes={','.join(map(str, VARIED_CODES))}", "--cycle"],
                 drive_pictures, check_pictures),
}
PREPARE = {"empty_list": prepare_empty_list}


# ------------------------------------------------------------------- main

def runner_options(options, work):
    """--opt=value as two words; relative files go to the work folder."""
    out = []
    for o in options:
        if "=" in o:
            key, value = o.split("=", 1)
            if key == "--save":
                value = os.path.join(work, value)
            out += [key, value]
        else:
            out.append(o)
    return out


def start_xvfb(work):
    read_end, write_end = os.pipe()
    log = open(os.path.join(work, "xvfb.log"), "wb")
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "640x480x24",
                             "-nolisten", "tcp", "-noreset"],
                            pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=log,
                            stderr=log)
    os.close(write_end)
    log.close()
    number = b""
    deadline = now() + 20
    os.set_blocking(read_end, False)
    while now() < deadline and not number.endswith(b"\n"):
        try:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        except BlockingIOError:
            time.sleep(0.05)
    os.close(read_end)
    if not number.strip().isdigit():
        xvfb.kill()
        xvfb.wait()
        raise RuntimeError("Xvfb did not start (see xvfb.log)")
    return xvfb, ":" + number.decode().strip()


def outside(args):
    for tool in ("Xvfb", "xdotool", "import", "unshare", "mount"):
        if shutil.which(tool) is None:
            print(f"FAILED  {tool} is not installed (scripts/setup.sh installs it)")
            return 1
    name = args.scenario
    options, _, check = SCENARIOS[name]
    work = os.path.abspath(args.work)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(os.path.join(work, "app"))
    shutil.copy2(args.program, os.path.join(work, "app", "thermometer"))
    if name in PREPARE:
        PREPARE[name](work)

    xvfb, display = start_xvfb(work)
    try:
        env = dict(os.environ, DISPLAY=display)
        env.pop("XAUTHORITY", None)
        command = [sys.executable, args.runner, "--no-preload", "--preload", args.preload,
                   *runner_options(options, work), "--",
                   sys.executable, os.path.abspath(__file__), "--inside", name,
                   "--program", args.program, "--preload", args.preload,
                   "--close-window", args.close_window, "--runner", args.runner,
                   "--work", work]
        runner = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL)
        try:
            status = runner.wait(timeout=150)
        except subprocess.TimeoutExpired:
            runner.terminate()
            status = runner.wait()
            print("FAILED  the scenario did not finish within 150 s")
            return 1
    finally:
        xvfb.terminate()
        try:
            xvfb.wait(10)
        except subprocess.TimeoutExpired:
            xvfb.kill()
            xvfb.wait()
    if status == SKIP_STATUS:
        return SKIP_STATUS
    if not os.path.exists(os.path.join(work, "facts.json")):
        print(f"FAILED  the driver did not get going (status {status}); see the output above")
        return 1
    c = Checks(work)
    if c.facts.get("error"):
        c.expect(False, "driving the window: " + c.facts["error"])
    else:
        check(c)
    print(f"{name}: {'FAILED' if c.failed else 'passed'} (files in {work})", flush=True)
    return 1 if c.failed else 0


def inside(args):
    d = Driver(args)
    _, drive, _ = SCENARIOS[args.scenario]
    try:
        drive(d)
    except Exception as e:  # noted for the checks, which report it
        d.note("error", f"{type(e).__name__}: {e}")
        traceback.print_exc()
        d.screenshot("failure.png")
    finally:
        d.cleanup()
        d.save_facts()
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    parser.add_argument("--inside", action="store_true", help=argparse.SUPPRESS)
    parser.add_argument("--program", required=True)
    parser.add_argument("--preload", required=True)
    parser.add_argument("--close-window", required=True)
    parser.add_argument("--runner", required=True)
    parser.add_argument("--work", required=True)
    # --inside comes after the scenario name on the runner's command line.
    argv = sys.argv[1:]
    if "--inside" in argv:
        argv.remove("--inside")
        args = parser.parse_args(argv)
        return inside(args)
    return outside(parser.parse_args(argv))


if __name__ == "__main__":
    sys.exit(main())
