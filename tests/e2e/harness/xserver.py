"""An X server of our own (Xvfb), and on request a window manager on it,
for the end-to-end suite, the Win32 window's tests under Wine and
bench/running-cost alike, so all three start it the same way."""

import os
import subprocess
import time

START_TIMEOUT = 20.0


def _wait_display_number(read_end, proc):
    """Xvfb writes its display number to -displayfd once it takes
    connections; an empty read means it died first."""
    number = b""
    deadline = time.monotonic() + START_TIMEOUT
    os.set_blocking(read_end, False)
    while time.monotonic() < deadline and not number.endswith(b"\n") and proc.poll() is None:
        try:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        except BlockingIOError:
            time.sleep(0.02)
    return number.strip().decode() if number.strip().isdigit() else None


def _root_has_wm(display):
    r = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"],
                       env=dict(os.environ, DISPLAY=display), stdin=subprocess.DEVNULL,
                       capture_output=True, text=True)
    return "window id" in r.stdout


def _stop(proc):
    if proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(10)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


class XServer:
    """Xvfb on a free display (it picks the number itself), logging to
    log_dir. window_manager: also openbox, for Wine, which without one
    waits two seconds for every window it hides."""

    def __init__(self, log_dir, size="640x480", window_manager=False):
        self.procs = []
        read_end, write_end = os.pipe()
        with open(os.path.join(log_dir, "xvfb.log"), "wb") as log:
            xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                                     f"{size}x24", "-nolisten", "tcp", "-noreset"],
                                    pass_fds=(write_end,), stdin=subprocess.DEVNULL,
                                    stdout=log, stderr=log)
        os.close(write_end)
        self.procs.append(xvfb)
        number = _wait_display_number(read_end, xvfb)
        os.close(read_end)
        if number is None:
            self.stop()
            raise RuntimeError(f"Xvfb did not start (see {log_dir}/xvfb.log)")
        self.display = ":" + number
        if window_manager:
            self._start_openbox(log_dir)

    def _start_openbox(self, log_dir):
        env = dict(os.environ, DISPLAY=self.display)
        env.pop("XAUTHORITY", None)
        with open(os.path.join(log_dir, "openbox.log"), "wb") as log:
            wm = subprocess.Popen(["openbox", "--sm-disable"], env=env, stdin=subprocess.DEVNULL,
                                  stdout=log, stderr=log)
        self.procs.append(wm)
        deadline = time.monotonic() + START_TIMEOUT
        while not _root_has_wm(self.display):
            if wm.poll() is not None or time.monotonic() > deadline:
                self.stop()
                raise RuntimeError(f"openbox did not start (see {log_dir}/openbox.log)")
            time.sleep(0.05)

    def stop(self):
        for proc in reversed(self.procs):
            _stop(proc)
        self.procs = []
