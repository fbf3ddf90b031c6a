"""Finding the measured process under the runner, reading its costs from
/proc, and starting and ending runs."""

import os
import signal
import subprocess
import time

from .settings import CLK_TCK, die


def proc_table():
    table = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as f:
                text = f.read()
        except OSError:
            continue
        comm = text[text.index("(") + 1:text.rindex(")")]
        ppid = int(text[text.rindex(")") + 2:].split()[1])
        table[int(entry)] = (ppid, comm)
    return table


def find_descendant(root, comm, timeout=15.0):
    """PID of the process named comm started (indirectly) by root."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        table = proc_table()
        children = {}
        for pid, (ppid, _) in table.items():
            children.setdefault(ppid, []).append(pid)
        todo = list(children.get(root, []))
        while todo:
            pid = todo.pop()
            if table[pid][1] == comm[:15]:
                return pid
            todo.extend(children.get(pid, []))
        time.sleep(0.005)
    return None


def sample(pid):
    """CPU seconds (stat and schedstat), resident kB, CLOCK_MONOTONIC."""
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    cpu_stat = (int(fields[11]) + int(fields[12])) / CLK_TCK
    run_ns = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as f:
                run_ns += int(f.read().split()[0])
        except OSError:
            pass
    rss_kb = 0
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                rss_kb = int(line.split()[1])
    return {"t": time.monotonic(), "cpu": cpu_stat, "run": run_ns / 1e9, "rss_kb": rss_kb}


def drained(count_file):
    """(bytes, time) the runner's drainer last recorded; the file is
    rewritten whenever it records, so its mtime is when it counted."""
    for _ in range(100):
        try:
            st = os.stat(count_file)
            with open(count_file) as f:
                text = f.read().split()
            if text:
                return int(text[0]), st.st_mtime_ns / 1e9
        except (OSError, ValueError):
            pass
        time.sleep(0.01)
    return None, None


class WindowWatch:
    """bench/window_mapped, started before the program so no map is missed."""

    def __init__(self, tool, title, env, timeout=30):
        self.proc = subprocess.Popen([tool, title, str(timeout)], env=env, stdout=subprocess.PIPE,
                                     stdin=subprocess.DEVNULL, text=True)
        if self.proc.stdout.readline().strip() != "ready":
            die("window_mapped did not start")

    def mapped_ns(self):
        line = self.proc.stdout.readline().strip()
        self.proc.wait()
        return int(line) if line else None


def stop(proc, program_pid):
    """Ends a run: the runner (which we started) ends its command's session."""
    if proc.poll() is None:
        proc.send_signal(signal.SIGTERM)
        try:
            proc.wait(timeout=15)
        except subprocess.TimeoutExpired:
            if program_pid:
                try:
                    os.kill(program_pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
            proc.kill()
            proc.wait()


def exec_stamped(stamp_file, command):
    # The time of the exec itself, so the runner's own start-up is not
    # counted as the program's.
    return ["sh", "-c", 'date +%s%N >"$0"; exec "$@"', stamp_file, *command]


def shown_ms(stamp_file, mapped_ns):
    """From the exec (exec_stamped) to the window being mapped."""
    with open(stamp_file) as f:
        return (mapped_ns - int(f.read())) / 1e6
