"""The driver, run inside the runner's namespace: starts copies of the
program on the virtual port, works their windows, and notes what it did
and when (facts.json) for the checks outside."""

import json
import os
import subprocess
import time

from harness import Refused, namespace
from harness.modem_log import conversions, read_modem_log
from harness.port import check_announced_port
from vport.wine import (PORTS_KEY, SERIALCOMM_KEY, SETTLE_SECONDS, registry_values,
                        verify_prefix)

from .common import PROGRAM_FOLDER, now
from .display import Desktop
from .target import program_for
from .wording import box_title

# Generous: only a program that has stopped sampling takes this long.
SECONDS_PER_READING = 5.0


def wineserver(env, option, seconds):
    """Whether `wineserver option` finished within `seconds`."""
    try:
        subprocess.run(["wineserver", option], env=env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=seconds)
        return True
    except subprocess.TimeoutExpired:
        return False


class Driver(Desktop):
    def __init__(self, args):
        super().__init__(args.close_window)
        self.args = args
        self.work = args.work
        self.target = program_for(args)
        self.exe = os.path.join(self.work, PROGRAM_FOLDER, self.target.exe_name)
        # The program stamps its entries with the time of day; the checks
        # tie them to the modem log's reads by this.
        self.facts = {"events": [], "wall minus monotonic": time.time() - time.monotonic()}
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
        """The runner's checks once more, right before each start: the
        namespace private, the port its pseudo-terminal, /dev clean."""
        try:
            namespace.check_private(os.environ.get("VPORT_OUTER_MNTNS"))
            check_announced_port()
        except Refused as e:
            raise SystemExit(f"refusing to start the program: {e}") from None

    def launch(self, tag, locale=None, program=None, args=()):
        """Starts the program (or another beside it) with `args`."""
        self.assert_port_safe()
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("QT_", "LC_", "LANG")) and k != "LD_PRELOAD"}
        env.update(LD_PRELOAD=os.environ["MODEMSIM_PRELOAD"],
                   MODEMSIM_LOG=self.path(f"{tag}.modem.log"),
                   XDG_RUNTIME_DIR=self.runtime_dir,
                   **self.target.environment(locale or self.target.locale))
        cwd = self.path("cwd")  # not the program's folder: the file must go beside the program
        os.makedirs(cwd, exist_ok=True)
        out = open(self.path(f"{tag}.stdout"), "wb")
        err = open(self.path(f"{tag}.stderr"), "wb")
        proc = subprocess.Popen(self.target.command(program or self.exe) + list(args), env=env, cwd=cwd,
                                stdin=subprocess.DEVNULL, stdout=out, stderr=err)
        out.close()
        err.close()
        program = Program(self, tag, proc, box_title(locale or self.target.locale))
        self.programs.append(program)
        self.event(f"{tag} started (pid {proc.pid})")
        return program

    def open_form(self, tag="main", locale=None):
        """Starts the program and waits for its window: (program, window id)."""
        program = self.launch(tag, locale)
        return program, program.form()

    def set_dpi(self, dpi):
        """The screen's dots per inch for programs started from now on;
        only Wine's can be set, in its registry. Each Wine process reads it
        as it starts, but since Wine 10 (not yet 8) a monitor's DPI, by
        which a window aware of each monitor's DPI sizes itself, is the one
        the desktop process read when the session began. So, as on Windows, a new DPI
        takes a new session: the old one ends first."""
        if dpi == self.dpi:
            return
        if not self.args.wine:
            raise RuntimeError(f"{dpi} DPI: only the Windows build can be shown at another DPI")
        subprocess.run(["wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels",
                        "/t", "REG_DWORD", "/d", str(dpi), "/f"], stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True,
                       timeout=60)
        self.new_wine_session()
        self.dpi = dpi
        self.event(f"set {dpi} DPI")

    def new_wine_session(self):
        """Waits for the prefix's wineserver to end, which it does a few
        seconds after the last program (only the desktop and services are
        left between scenes), then starts a new one and checks its ports
        as the runner checked the first: the new session maps them anew."""
        if any(p.proc.poll() is None for p in self.programs):
            raise RuntimeError("a new Wine session while a program still runs")
        # As the runner made the first session: without the simulator.
        env = {k: v for k, v in os.environ.items()
               if k != "LD_PRELOAD" and not k.startswith("MODEMSIM_")}
        if not (wineserver(env, "-w", 30)
                or (wineserver(env, "-k", 10) and wineserver(env, "-w", 10))):
            raise RuntimeError("the Wine session did not end")
        prefix = env["WINEPREFIX"]
        # The scenes that change the DPI run on COM1.
        mapped = {"com1": os.environ["VPORT_DEVICE"]} if "MODEMSIM_RDEV" in os.environ else {}
        ports = registry_values(env, prefix, PORTS_KEY)  # starts the new session
        links = [os.path.join(prefix, "dosdevices", name) for name in mapped]
        end = now() + SETTLE_SECONDS
        while not all(map(os.path.islink, links)) and now() < end:
            time.sleep(0.05)
        verify_prefix(prefix, mapped, ports, registry_values(env, prefix, SERIALCOMM_KEY))
        self.event("new Wine session")

    def window_texts(self):
        """[(class, text)] of Form1's controls in creation order, a list
        box's items as ("ListBox[i]", item); None where nothing can read
        them (the Linux build: xdotool sees no text)."""
        if not self.args.wine:
            return None
        out_path = self.path("window_texts.out")
        # Output to a file: a Wine process's output on a pipe can be held
        # open by the services it shares.
        with open(out_path, "wb") as out:
            r = subprocess.run(["wine", self.args.window_texts], stdin=subprocess.DEVNULL,
                               stdout=out, stderr=subprocess.DEVNULL, timeout=60)
        with open(out_path, encoding="utf-8", errors="replace") as f:
            texts = [tuple(line.rstrip("\r\n").split("\t", 1)) for line in f if "\t" in line]
        if r.returncode != 0:
            raise RuntimeError(f"window_texts failed ({r.returncode})")
        self.event("read the window's texts")
        return texts

    def wait_typed(self, text):
        """Whether Text1 comes to hold what was typed."""
        if not self.args.wine:
            # Whatever the clipboard held before must not pass for Text1.
            self.clipboard("--clear")
        end = now() + 5
        while (shown := self.text1()) != text:
            if now() > end:
                self.event(f"Text1 shows {shown!r}, not {text!r}")
                return False
            time.sleep(0.1)
        return True

    def text1(self):
        """What Text1 holds, or None where it could not be read this time.
        Qt's text box is copied out (Ctrl+A, Ctrl+C, with the focus still
        in it after typing) and read from the clipboard: the program
        handles the copy after every key typed before it."""
        if self.args.wine:
            return next((t for c, t in self.window_texts() if c == "Edit"), None)
        self.xdo("key", "--clearmodifiers", "ctrl+a", "ctrl+c")
        return self.clipboard()

    def clipboard(self, *args):
        r = subprocess.run([self.args.clipboard_text, *args], stdin=subprocess.DEVNULL,
                           capture_output=True, timeout=30)
        return r.stdout.decode("utf-8", "replace") if r.returncode == 0 else None

    def list1_items(self):
        texts = self.window_texts()
        return None if texts is None else [t for c, t in texts if c.startswith("ListBox[")]

    def cleanup(self):
        for p in self.programs:
            p.kill()

    def save_facts(self):
        with open(self.path("facts.json"), "w") as f:
            json.dump(self.facts, f, indent=1)


class Program:
    def __init__(self, driver, tag, proc, box_title):
        self.d = driver
        self.tag = tag
        self.proc = proc
        self.box_title = box_title  # in the language it was started in

    def windows(self, title):
        return self.d.windows(self.proc.pid, title)

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
        # A click while the window still maps can get lost; once the first
        # reading is in, the program is in its event loop.
        if os.environ.get("MODEMSIM_RDEV"):
            self.wait_readings(1, since=0)
        return wid

    def readings(self):
        """Conversions the converter model has started for this program."""
        return len(conversions(read_modem_log(self.d.path(f"{self.tag}.modem.log"))))

    def wait_readings(self, count, since=None):
        """Waits until `count` more conversions than `since` (default: as
        many as now) have started; returns the total."""
        base = self.readings() if since is None else since
        end = now() + SECONDS_PER_READING * count + 20
        while (total := self.readings()) < base + count:
            if self.proc.poll() is not None or now() > end:
                raise RuntimeError(f"{self.tag}: {total - base} of {count} readings came "
                                   f"(exit status {self.proc.poll()})")
            time.sleep(0.05)
        self.d.event(f"{self.tag}: {total} readings")
        return total

    def answer_box(self, timeout=20.0, forbid=None):
        """Answers the message box with Return once it has the keyboard
        focus: its one button, OK, is the default on both systems."""
        box = self.wait_window(self.box_title, timeout, forbid)
        if box is None:
            raise RuntimeError(f"{self.tag}: no message box appeared")
        # A Return pressed as the box takes the focus can be lost: while the
        # box is still there, it gets the focus again and a second Return.
        for _ in range(2):
            if not self.d.focus(box):
                raise RuntimeError(f"{self.tag}: the message box never had the keyboard focus")
            self.d.screenshot(f"{self.tag}-box.png")
            self.d.xdo("key", "Return")
            self.d.event(f"{self.tag}: answered the box")
            if self.window_gone(box, self.box_title, 5.0):
                return
        raise RuntimeError(f"{self.tag}: the message box did not go away")

    def window_gone(self, wid, title, timeout):
        end = now() + timeout
        while wid in self.windows(title):
            if now() > end:
                return False
            time.sleep(0.05)
        return True

    def close(self, wid):
        """Closes the window with its close box and waits for the program to end."""
        self.d.close_box(wid)
        return self.wait_exit()

    def wait_exit(self, timeout=20.0, forbid=None):
        """The exit status, or None when it had to be killed. With forbid,
        notes whether a window of that title showed meanwhile."""
        end = now() + timeout
        while self.proc.poll() is None and now() < end:
            if forbid and self.windows(forbid):
                self.d.note(f"{self.tag}: {forbid} shown", True)
            time.sleep(0.05)
        status = self.proc.poll()
        if status is None:
            self.kill()
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
