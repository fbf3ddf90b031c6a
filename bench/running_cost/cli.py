"""The whole measurement: build, an X server of its own, the runs in their
order, the report and the exit status."""

import json
import os
import subprocess
import sys
import tempfile

from harness.xserver import XServer

from .micro import micro
from .report import print_model_run, print_run, report
from .runs import Env, blocked_run, measure_run, model_run, window_run
from .settings import MODELS, REPO, die, parse_args
from .wine import windows_program, wine_run


def build(folder):
    """Configures the folder where there is no build yet, then builds what is run."""
    if not os.path.exists(os.path.join(folder, "CMakeCache.txt")):
        configure = subprocess.run(["cmake", "-S", REPO, "-B", folder,
                                    "-DTHERMOMETER_BENCH=ON", "-DCMAKE_BUILD_TYPE=Release"],
                                   stdin=subprocess.DEVNULL, capture_output=True, text=True)
        if configure.returncode != 0:
            die(f"configure failed:\n{configure.stdout[-2000:]}{configure.stderr[-2000:]}")
    made = subprocess.run(["cmake", "--build", folder, "-j2", "--target", "thermometer",
                           "floor", "bare_window", "window_mapped", "thermometer_bench",
                           "modemsim_preload"], stdin=subprocess.DEVNULL,
                          capture_output=True, text=True)
    if made.returncode != 0:
        die(f"build failed:\n{made.stdout[-2000:]}{made.stderr[-2000:]}")


def main(usage):
    opts = parse_args(sys.argv[1:], usage)
    if opts["do_build"]:
        build(opts["build"])

    work = tempfile.mkdtemp(prefix="running-cost-")
    os.chmod(work, 0o700)
    xserver = XServer(work, size="1024x768")
    env = Env(opts, xserver.display, work)
    figures = {"work": work, "machine": machine()}
    try:
        figures.update(measure_all(env, opts))
    finally:
        xserver.stop()
    if opts["json"]:
        with open(opts["json"], "w") as f:
            json.dump(figures, f, indent=2)
    sys.exit(0 if report(figures, opts) else 1)


def machine():
    uname = subprocess.run(["uname", "-a"], capture_output=True, text=True).stdout.strip()
    model = ""
    for line in subprocess.run(["lscpu"], capture_output=True, text=True).stdout.splitlines():
        if line.startswith("Model name:"):
            model = line.split(":", 1)[1].strip()
    return {"uname": uname, "cpu": model, "nproc": os.cpu_count()}


def measure_all(env, opts):
    print(f"work folder {env.work}; measured window {opts['seconds']:.0f} s", flush=True)
    # One unmeasured start of each, so every measured one finds the same
    # warm caches.
    window_run(env, "program")
    window_run(env, "bare")

    runs = []
    # With --compare the other build takes its turn in each round, first
    # and last by turns, so neither always follows the floor.
    rounds = ((["program", "floor", "compared"], ["compared", "floor", "program"])
              if opts["compare"] else (["program", "floor"],) * 2)
    for i in range(opts["pairs"]):
        for kind in rounds[i % 2]:
            r = measure_run(env, kind)
            runs.append(r)
            print_run(r)

    models = []
    for i, (name, model) in enumerate(MODELS):
        kinds = ["program", "compared"] if opts["compare"] else ["program"]
        for kind in kinds[::-1] if i % 2 else kinds:
            r = model_run(env, kind, name, model)
            models.append(r)
            print_model_run(r)

    windows = []
    for i in range(opts["window_pairs"]):
        for kind in ("program", "bare"):
            w = window_run(env, kind)
            windows.append(w)
            print(f"  window {kind:8s} shown {w['shown_ms']:7.1f} ms  RSS {w['rss_kb']} kB",
                  flush=True)

    blocked = blocked_run(env) if opts["blocked_seconds"] > 0 else None
    if blocked:
        print(f"  blocked line: {blocked['seconds']:.0f} s, RSS {blocked['rss_first_kb']} -> "
              f"{blocked['rss_last_kb']} kB (max {blocked['rss_max_kb']}), "
              f"slope {blocked['growth_mb_per_hour']:.3f} MB/h, {blocked['cycles']} cycles, "
              f"line calls {blocked['line_calls_min']}..{blocked['line_calls_max']}", flush=True)
    micro_figures = micro(env) if opts["micro"] else {}
    return {"runs": runs, "models": models, "windows": windows, "blocked": blocked,
            "micro": micro_figures, "wine": wine_runs(env, opts)}


def wine_runs(env, opts):
    """The Windows program, on a display of its own with the window manager
    Wine needs to hide windows without stalling."""
    if opts["wine_runs"] <= 0:
        return []
    exes = [("wine", windows_program(opts["windows_build"]))]
    if opts["compare_windows"]:
        exes.append(("wine-compared", windows_program(opts["compare_windows"])))
    xserver = XServer(env.work, size="1024x768", window_manager=True)
    runs = []
    try:
        # The builds take turns at going first, as in the rounds above.
        order = [kind_exe for i in range(opts["wine_runs"])
                 for kind_exe in (exes[::-1] if i % 2 else exes)]
        for kind, exe in order:
            r = wine_run(env, exe, xserver.display, opts["seconds"], kind)
            runs.append(r)
            print(f"  {kind:13s} ticks/s {r['ticks_per_s']:7.1f}  period {r['period_mean_ms']:8.2f} ms "
                  f"worst dev {r['period_worst_dev_ms']:6.2f} ms  cycles {r['cycles_in_window']}  "
                  f"line calls {r['line_calls_min']}..{r['line_calls_max']} "
                  f"({r['line_calls_cycles']} cycles)  load {r['load1']:.2f}", flush=True)
    finally:
        xserver.stop()
    return runs
