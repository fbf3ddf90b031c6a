"""The driver, run inside the runner's namespace: starts copies of the
program on the virtual port, works their windows, and notes what it did
and when (facts.json) for the checks outside."""

import json
import os
import stat
import subprocess
import time

from .common import BOX_TITLE, PORT, PTY_SLAVE_MAJORS, now
from .display import Desktop


class Driver(Desktop):
    def __init__(self, args):
        super().__init__(args.close_window)
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

    def open_form(self, tag="main", locale="C.UTF-8"):
        """Starts the program and waits for its window: (program, window id)."""
        program = self.launch(tag, locale)
        return program, program.form()

    def cleanup(self):
        for p in self.programs:
            p.kill()

    def save_facts(self):
        with open(self.path("facts.json"), "w") as f:
            json.dump(self.facts, f, indent=1)


class Program:
    def __init__(self, driver, tag, proc):
        self.d = driver
        self.tag = tag
        self.proc = proc

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

    def close(self, wid):
        """Closes the window with its close box and waits for the program to end."""
        self.d.close_box(wid)
        return self.wait_exit()

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
