"""The Windows program under Wine on the same virtual port: keep-alive
ticks a second, the program's own line calls per read cycle, and the
sampling period. Wine reads and writes the whole modem word for every line
change, so the log is read through the harness's Wine reading; CPU is not compared, as Wine's own work would swamp it."""

import os
import statistics
import subprocess
import sys
import time

from harness.modem_log import cycle_figures, read_modem_log, wine_line_calls

from .procs import drained, stop
from .runs import line_call_figures
from .settings import CODES, DCD_LATE, RUNNER, die

# The runner makes a fresh Wine prefix first; that and Wine's start take
# several seconds before the program writes its first byte.
START_TIMEOUT = 90.0


def wine_run(env, exe, display, seconds, kind="wine"):
    stem = env.files(kind)
    command = [sys.executable, RUNNER, "--wine", "--preload", env.preload, "--log", stem + ".log",
               "--codes", CODES, "--cycle", "--dcd-late", DCD_LATE, "--drain", "--count", stem + ".count",
               "--", "wine", exe]
    run_env = dict(env.env, DISPLAY=display, LANG="C.UTF-8", LC_ALL="C.UTF-8")
    with open(stem + ".out", "w") as out:
        proc = subprocess.Popen(command, env=run_env, stdin=subprocess.DEVNULL, stdout=out,
                                stderr=subprocess.STDOUT)
    try:
        deadline = time.monotonic() + START_TIMEOUT
        while (drained(stem + ".count")[0] or 0) == 0:
            if proc.poll() is not None or time.monotonic() > deadline:
                die(f"the Windows program did not start under Wine; see {stem}.out")
            time.sleep(0.2)
        time.sleep(2.0)  # settle: start-up is not running cost
        bytes_a, time_a = drained(stem + ".count")
        began = time.monotonic()
        time.sleep(seconds)
        bytes_b, time_b = drained(stem + ".count")
    finally:
        stop(proc, None)
    with open("/proc/loadavg") as f:
        load1 = float(f.read().split()[0])

    falls, per_cycle, delays = cycle_figures(wine_line_calls(read_modem_log(stem + ".log")))
    periods = [(y - x) * 1000.0 for x, y in zip(falls, falls[1:])]
    # The log's clock is CLOCK_MONOTONIC, as time.monotonic() is.
    return {"kind": kind, "load1": load1,
            "ticks_per_s": (bytes_b - bytes_a) / 2 / (time_b - time_a),
            "cycles_in_window": sum(1 for t in falls if began <= t < began + seconds),
            "period_mean_ms": statistics.mean(periods) if periods else float("nan"),
            "period_worst_dev_ms": max((abs(p - 1000.0) for p in periods), default=float("nan")),
            **line_call_figures(per_cycle, delays), "line_calls_cycles": len(per_cycle)}


def windows_program(folder):
    exe = os.path.join(folder, "thermometer.exe")
    if not os.path.isfile(exe):
        die(f"missing {exe}; build the Windows tree first (scripts/setup.sh), or --skip-wine")
    return exe
