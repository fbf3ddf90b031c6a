"""The scenario's own X server, and working the window through it with
xdotool as a person would."""

import os
import re
import subprocess
import time

from .common import CHECK1, COMMAND1, TEXT1, centre, now


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


def stop_xvfb(xvfb):
    xvfb.terminate()
    try:
        xvfb.wait(10)
    except subprocess.TimeoutExpired:
        xvfb.kill()
        xvfb.wait()


class Desktop:
    """The hands on the mouse and keyboard. The driver built on it supplies
    path() for screenshots and event() to note each action with its time."""

    def __init__(self, close_window):
        self.close_window = close_window  # the tool that sends WM_DELETE_WINDOW

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

    def click_check1(self, wid):
        # On the box itself, not the middle of its caption.
        self.click(wid, centre(CHECK1, 8), "Check1")

    def click_command1(self, wid, what="Command1"):
        self.click(wid, centre(COMMAND1), what)

    def set_text1(self, wid, text):
        self.click(wid, centre(TEXT1), "Text1")
        self.xdo("key", "--clearmodifiers", "ctrl+a")
        self.xdo("type", "--delay", "40", text)
        time.sleep(0.4)
        self.event(f"typed {text!r}")

    def close_box(self, wid):
        r = subprocess.run([self.close_window, str(wid)], capture_output=True, text=True,
                           stdin=subprocess.DEVNULL, timeout=30)
        if r.returncode != 0:
            raise RuntimeError(f"close_window: {r.stderr.strip()}")
        self.event("sent WM_DELETE_WINDOW")

    def screenshot(self, name, wid="root"):
        subprocess.run(["import", "-window", str(wid), self.path(name)],
                       stdin=subprocess.DEVNULL, capture_output=True, timeout=60)

    def windows(self, pid, title):
        """The visible windows of process pid with exactly this title."""
        r = self.xdo("search", "--all", "--onlyvisible", "--pid", pid,
                     "--name", f"^{re.escape(title)}$", check=False)
        return [int(w) for w in r.stdout.split()]

