"""The runs: the program or a yardstick on the virtual port, each through
the end-to-end suite's runner, and what each run measured."""

import os
import statistics
import subprocess
import sys
import time

from harness.modem_log import (MEASURING_READS, cycle_figures, line_calls, read_modem_log,
                               split_reads)

from .procs import WindowWatch, drained, exec_stamped, find_descendant, sample, shown_ms, stop
from .settings import CHECK1, CODES, DCD_LATE, RUNNER, die


class Env:
    def __init__(self, opts, display, work):
        b = opts["build"]
        self.opts = opts
        self.work = work
        self.program = opts["program"] or os.path.join(b, "thermometer")
        self.comm = os.path.basename(self.program)[:15]
        self.floor = os.path.join(b, "bench", "floor")
        self.bare = os.path.join(b, "bench", "bare_window")
        self.mapped_tool = os.path.join(b, "bench", "window_mapped")
        self.bench = os.path.join(b, "bench", "thermometer_bench")
        self.preload = os.path.join(b, "tests", "e2e", "libmodemsim_preload.so")
        self.env = dict(os.environ, DISPLAY=display, XDG_RUNTIME_DIR=work, LC_ALL="C.UTF-8")
        self.env.pop("QT_QPA_PLATFORM", None)
        for path in (self.program, self.floor, self.bare, self.mapped_tool, self.preload, RUNNER):
            if not os.path.exists(path):
                die(f"missing {path}; build with -DTHERMOMETER_BENCH=ON first")
        self.counter = 0

    def files(self, kind):
        self.counter += 1
        stem = os.path.join(self.work, f"{self.counter:02d}-{kind}")
        for suffix in (".log", ".count", ".stamp", ".out"):
            try:
                os.unlink(stem + suffix)
            except FileNotFoundError:
                pass
        return stem

    def runner(self, stem, command, blocked=False, model=("--dcd-late", DCD_LATE)):
        """model: the runner's options for the adapter and the converter's pin."""
        if command[-1] == self.program or self.program in command[-2:]:
            command = ["env", *(f"{k}={v}" for k, v in self.opts["program_env"].items()),
                       *command] if self.opts["program_env"] else command
        line = ["--no-read", "--fill"] if blocked else ["--drain", "--count", stem + ".count"]
        args = [sys.executable, RUNNER, "--preload", self.preload, "--log", stem + ".log",
                "--codes", CODES, "--cycle", *model, *line, "--", *command]
        out = open(stem + ".out", "w")
        proc = subprocess.Popen(args, env=self.env, stdin=subprocess.DEVNULL, stdout=out,
                                stderr=subprocess.STDOUT)
        out.close()
        return proc


def parse_modem_log(path):
    """DTR falls, line calls per cycle and reading delays of a Linux run."""
    return cycle_figures(line_calls(read_modem_log(path)))


def line_call_figures(calls, delays):
    """calls and delays: per read (cycle_figures). Beyond the calls, how many
    more a read made than the milliseconds it took: at most one a keep-alive
    tick, but for the edge that follows a bit read at once on its tick."""
    return {"line_calls_min": min(calls, default=0), "line_calls_max": max(calls, default=0),
            "calls_beyond_ticks": max((c - d for c, d in zip(calls, delays)), default=0.0),
            "reading_delays_ms": delays}


def tick_check1(env):
    """Ticks Check1 as a user would, so the run records (and journals)."""
    x, y = CHECK1[0] + 8, CHECK1[1] + CHECK1[3] // 2
    subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", "^Form1$",
                    "mousemove", "--window", "%1", str(x), str(y), "click", "1"],
                   env=env.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=20, check=True)


def measure_run(env, kind):
    """One steady-state run of the program or the floor, line drained."""
    seconds = env.opts["seconds"]
    stem = env.files(kind)
    if kind in ("program", "compared"):
        program = env.program if kind == "program" else env.opts["compare"]
        watch = WindowWatch(env.mapped_tool, "Form1", env.env)
        command = exec_stamped(stem + ".stamp", [program])
        comm = os.path.basename(program)[:15]
    else:
        watch = None
        command, comm = [env.floor, "/dev/ttyS0"], "floor"
    proc = env.runner(stem, command)
    pid = find_descendant(proc.pid, comm)
    if pid is None:
        stop(proc, None)
        die(f"{kind} did not start; see {stem}.out")
    try:
        result = {"kind": kind}
        if watch:
            mapped = watch.mapped_ns()
            if mapped is None:
                die(f"the program's window never appeared; see {stem}.out")
            result["shown_ms"] = shown_ms(stem + ".stamp", mapped)
            if env.opts["record"]:
                tick_check1(env)
        # Settle: start-up is not running cost.
        time.sleep(2.0)
        a = sample(pid)
        bytes_a, time_a = drained(stem + ".count")
        time.sleep(seconds)
        b = sample(pid)
        bytes_b, time_b = drained(stem + ".count")
    finally:
        stop(proc, pid)
    span = b["t"] - a["t"]
    result["cpu_pct"] = 100.0 * (b["cpu"] - a["cpu"]) / span
    result["cpu_run_pct"] = 100.0 * (b["run"] - a["run"]) / span
    # Other work on the machine skews both figures alike only if it is
    # steady; the load average says whether it was there at all.
    with open("/proc/loadavg") as f:
        result["load1"] = float(f.read().split()[0])
    result["rss_start_kb"] = a["rss_kb"]
    result["rss_end_kb"] = b["rss_kb"]
    result["ticks_per_s"] = (bytes_b - bytes_a) / 2 / (time_b - time_a)
    falls, calls, delays = parse_modem_log(stem + ".log")
    periods = [(y - x) * 1000.0 for x, y in zip(falls, falls[1:])]
    result["cycles_in_window"] = sum(1 for t in falls if a["t"] <= t < a["t"] + seconds)
    result["period_mean_ms"] = statistics.mean(periods) if periods else float("nan")
    result["period_worst_dev_ms"] = max((abs(p - 1000.0) for p in periods), default=float("nan"))
    result.update(line_call_figures(calls, delays))
    result["line_calls_cycles"] = len(calls)
    return result


def window_run(env, kind):
    """Start-up to the window mapped, and resident size once it settled."""
    stem = env.files(kind)
    if kind == "program":
        title, command, comm = "Form1", [env.program], env.comm
    else:
        title, command, comm = "BareWindow", [env.bare], "bare_window"
    watch = WindowWatch(env.mapped_tool, title, env.env)
    proc = env.runner(stem, exec_stamped(stem + ".stamp", command))
    pid = None
    try:
        mapped = watch.mapped_ns()
        pid = find_descendant(proc.pid, comm)
        if mapped is None or pid is None:
            die(f"{kind}: no window; see {stem}.out")
        shown = shown_ms(stem + ".stamp", mapped)
        time.sleep(3.0)
        rss = sample(pid)["rss_kb"]
    finally:
        stop(proc, pid)
    return {"kind": kind, "shown_ms": shown, "rss_kb": rss}


def blocked_run(env):
    """The program with the line blocked from the first byte: resident
    size sampled every few seconds, growth as a least-squares slope."""
    seconds = env.opts["blocked_seconds"]
    stem = env.files("blocked")
    watch = WindowWatch(env.mapped_tool, "Form1", env.env)
    proc = env.runner(stem, [env.program], blocked=True)
    pid = find_descendant(proc.pid, env.comm)
    samples = []
    try:
        if pid is None or watch.mapped_ns() is None:
            die(f"blocked run: the program did not come up; see {stem}.out")
        time.sleep(5.0)
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            samples.append(sample(pid))
            time.sleep(2.0)
        samples.append(sample(pid))
    finally:
        stop(proc, pid)
    ts = [s["t"] for s in samples]
    rs = [s["rss_kb"] for s in samples]
    mt, mr = statistics.mean(ts), statistics.mean(rs)
    slope = sum((t - mt) * (r - mr) for t, r in zip(ts, rs)) / sum((t - mt) ** 2 for t in ts)
    falls, calls, delays = parse_modem_log(stem + ".log")
    return {"kind": "blocked", "seconds": ts[-1] - ts[0], "rss_first_kb": rs[0],
            "rss_last_kb": rs[-1], "rss_max_kb": max(rs),
            "growth_mb_per_hour": slope * 3600 / 1024,
            "cycles": len(falls), **line_call_figures(calls, delays)}


def model_run(env, kind, name, model):
    """The program (or the --compare build) on one of the MODELS for a
    while: how its reads go there."""
    stem = env.files(f"{kind}-model")
    program = env.program if kind == "program" else env.opts["compare"]
    watch = WindowWatch(env.mapped_tool, "Form1", env.env)
    proc = env.runner(stem, [program], model=model)
    pid = find_descendant(proc.pid, os.path.basename(program)[:15])
    try:
        if pid is None or watch.mapped_ns() is None:
            die(f"{kind} on {name}: the program did not come up; see {stem}.out")
        time.sleep(env.opts["model_seconds"])
    finally:
        stop(proc, pid)
    return {"kind": kind, "model": name, **read_figures(line_calls(read_modem_log(stem + ".log")))}


def read_figures(calls):
    """The first read and the steady state after the measuring reads: line
    calls, the reading after the tick, how often a read begins, and reads
    whose bits, as last seen before each edge, were not the code (shown as
    they were by a program that does not check, dropped by one that does)."""
    _, reads = split_reads(calls)
    whole = [r for r in reads[:-1] if r.complete]
    steady = [r for r in reads[MEASURING_READS:-1] if r.complete]
    gaps = [b.fall - a.fall for a, b in zip(reads, reads[1:])]
    return {"reads": len(whole),
            "first_delay_ms": (whole[0].shown_at - whole[0].fall) * 1000.0 if whole else None,
            "calls": [len(r.calls) for r in steady],
            "delays_ms": [(r.shown_at - r.fall) * 1000.0 for r in steady],
            "read_every_s": statistics.median(gaps) if gaps else None,
            "seen_wrong": sum(r.seen_code() not in (None, r.code) for r in whole)}
