"""Working the window with xdotool as a person would."""

import re
import subprocess
import time

from harness.window import CHECK1, COMMAND1, TEXT1

from .common import centre, now


class Desktop:
    """The hands on the mouse and keyboard. The driver built on it supplies
    path() for screenshots and event() to note each action with its time."""

    def __init__(self, close_window):
        self.close_window = close_window  # the tool that sends WM_DELETE_WINDOW
        self.dpi = 96  # the layout's places are pixels at 96 DPI

    def xdo(self, *args, check=True):
        r = subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True,
                           stdin=subprocess.DEVNULL, timeout=30)
        if check and r.returncode != 0:
            raise RuntimeError(f"xdotool {' '.join(map(str, args))}: {r.stderr.strip()}")
        return r

    def click(self, wid, point, what):
        self.event(f"clicking {what}")
        x, y = (n * self.dpi // 96 for n in point)
        self.xdo("mousemove", "--window", wid, x, y, "click", "1")
        self.event(f"clicked {what}")

    def click_check1(self, wid):
        # On the box itself, not the middle of its caption.
        self.click(wid, centre(CHECK1, 8), "Check1")

    def click_command1(self, wid, what="Command1"):
        self.click(wid, centre(COMMAND1), what)

    def set_text1(self, wid, text):
        self.click(wid, centre(TEXT1), "Text1")
        # Wine can miss the first of the letters xdotool types by remapping
        # a key; a person would see that and type the name again.
        for _ in range(3):
            self.xdo("key", "--clearmodifiers", "ctrl+a")
            self.xdo("type", "--delay", "40", text)
            if self.wait_typed(text):
                break
        else:
            raise RuntimeError(f"Text1 does not show {text!r}")
        self.event(f"typed {text!r}")

    def close_box(self, wid):
        r = subprocess.run([self.close_window, str(wid)], capture_output=True, text=True,
                           stdin=subprocess.DEVNULL, timeout=30)
        if r.returncode != 0:
            raise RuntimeError(f"close_window: {r.stderr.strip()}")
        self.event("sent WM_DELETE_WINDOW")

    def focus(self, wid, timeout=10.0):
        """Whether window wid has the keyboard focus, given it as a click
        on its title would where it has not taken it itself; keys typed
        before that can go to another window, or nowhere."""
        end = now() + timeout
        while now() < end:
            if self.xdo("getwindowfocus", check=False).stdout.strip() == str(wid):
                return True
            self.xdo("windowfocus", wid, check=False)
            time.sleep(0.05)
        return False

    def screenshot(self, name, wid="root", frame=False):
        """With frame, the window manager's frame too: its title bar."""
        subprocess.run(["import", *(["-frame"] if frame else []), "-window", str(wid),
                        self.path(name)],
                       stdin=subprocess.DEVNULL, capture_output=True, timeout=60)

    def windows(self, pid, title):
        """The visible windows of process pid with exactly this title."""
        r = self.xdo("search", "--all", "--onlyvisible", "--pid", pid,
                     "--name", f"^{re.escape(title)}$", check=False)
        return [int(w) for w in r.stdout.split()]

