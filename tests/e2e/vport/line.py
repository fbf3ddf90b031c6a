"""The master side of the line: drained all the time (optionally saved or
counted), or filled once and then left alone."""

import os
import select
import threading
import time


def fill_line(slave):
    """Writes into the slave until the pseudo-terminal takes nothing more."""
    os.set_blocking(slave, False)
    chunk = b"\0" * 4096
    idle_rounds = 0
    while idle_rounds < 3:
        taken = 0
        size = len(chunk)
        while size >= 1:
            try:
                taken += os.write(slave, chunk[:size])
            except BlockingIOError:
                size //= 2
        # The kernel moves data on to the master's line discipline a moment
        # later, which frees room again; stop once a pause frees nothing.
        idle_rounds = idle_rounds + 1 if taken == 0 else 0
        time.sleep(0.05)


class Drainer(threading.Thread):
    def __init__(self, master, save_path, count_path):
        super().__init__(daemon=True)
        self.master = master
        self.save = open(save_path, "ab") if save_path else None
        self.count_path = count_path
        self.total = 0
        self.non_zero = 0
        self.stopping = False
        self.written_counts = None

    def write_counts(self):
        if not self.count_path or self.written_counts == (self.total, self.non_zero):
            return
        tmp = self.count_path + ".tmp"
        with open(tmp, "w") as f:
            f.write(f"{self.total} {self.non_zero}\n")
        os.replace(tmp, self.count_path)
        self.written_counts = (self.total, self.non_zero)

    def read_available(self, timeout):
        ready, _, _ = select.select([self.master], [], [], timeout)
        if not ready:
            return False
        try:
            data = os.read(self.master, 65536)
        except OSError:  # EIO: no slave open; the runner's own keeps this rare
            time.sleep(0.01)
            return False
        self.total += len(data)
        self.non_zero += len(data) - data.count(0)
        if self.save:
            self.save.write(data)
        return bool(data)

    def run(self):
        last = 0.0
        while not self.stopping:
            self.read_available(0.1)
            now = time.monotonic()
            if now - last >= 0.25:
                self.write_counts()
                last = now

    def finish(self):
        self.stopping = True
        self.join()
        while self.read_available(0.2):
            pass
        if self.save:
            self.save.close()
        self.written_counts = None
        self.write_counts()
