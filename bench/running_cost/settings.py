"""Where things are, what is measured against what, and the command line."""

import os
import sys

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
RUNNER = os.path.join(REPO, "tests", "e2e", "with-virtual-port")
CLK_TCK = os.sysconf("SC_CLK_TCK")
# A few codes in turn so the labels change and repaint every second, as
# they do when the temperature moves.
CODES = "600,601,602,603,602,601"
# DCD as a slow USB adapter reports it: held 20 ms ("LAG,PERIOD" in ms), so
# the runs show the read cycle's real pace.
DCD_LATE = "20,0"
# The ports each build's reading is timed on, one run each (the runner's
# options): DCD at once; at once, but each DCD read taking 1 ms, as where the
# driver asks the adapter over USB (ftdi_sio, cp210x); from a copy refreshed
# every 16 ms, 4 ms old (FTDI's default latency timer); held 20 ms; from a
# copy refreshed every 40 ms, 10 ms old, each DTR and RTS call taking 3 ms (a
# busy bus); held 60 ms; held 150 ms.
MODELS = [
    ("prompt", []),
    ("DCD read 1 ms", ["--call-ms", "0,1"]),
    ("4 + 16 ms", ["--dcd-late", "4,16"]),
    ("20 ms", ["--dcd-late", "20,0"]),
    ("10 + 40 ms, 3 ms calls", ["--dcd-late", "10,40", "--call-ms", "3,0"]),
    ("60 ms", ["--dcd-late", "60,0"]),
    ("150 ms", ["--dcd-late", "150,0"]),
]
from harness.window import CHECK1  # noqa: F401  (ticked as the suite ticks it)

TARGETS = {
    "cpu_ratio": 1.35,          # program CPU / floor CPU, at most
    "ticks_ratio": 0.98,        # program ticks/s / floor ticks/s, at least
    "cpu_vs_before": 1.05,      # program CPU / the --compare build's, same round, median
    "prompt_calls": 42,         # per read on a prompt port, steady state, at most
    "calls_beyond_ticks": 11,   # per read, beyond one a ms: the ten bits' next edges and the look before
    "blocking_calls": 33,       # per read where each DCD read takes 1 ms, at most
    # Timer1's tick to the reading shown, DCD 20 ms late, worst: within the
    # period, less the 50 ms a reading leaves for late ticks.
    "reading_delay_ms": 950.0,
    "worst_deviation_ms": 20.0, # from 1000 ms, at most
    "cycles": (29, 31),         # in the measured window of 30 s
    "rss_ratio": 1.10,          # program RSS / bare window RSS, at most
    "growth_mb_per_hour": 1.0,  # line blocked, at most
    "bytes_per_entry": 200.0,   # reading log, at most
    "save_ratio": 1.5,          # SaveList 1 000 000 / safe-save floor, at most
    "shown_ratio": 1.2,         # time to window shown / bare window, at most
    "wine_ticks": 950.0,        # Windows program under Wine, ticks/s, at least
}


def die(message):
    print(f"running-cost: {message}", file=sys.stderr, flush=True)
    sys.exit(2)


def parse_args(argv, usage):
    opts = {"build": os.path.join(REPO, "build-bench"), "do_build": True, "seconds": 30.0,
            "pairs": 3, "window_pairs": 7, "blocked_seconds": 120.0, "micro": True,
            "json": None, "program": None, "compare": None, "program_env": {}, "record": False,
            "windows_build": os.path.join(REPO, "build-windows"), "wine_runs": 2,
            "model_seconds": 20.0, "compare_windows": None}
    i = 0
    while i < len(argv):
        a = argv[i]
        value = argv[i + 1] if i + 1 < len(argv) else None
        if a in ("-h", "--help"):
            print(usage)
            sys.exit(0)
        elif a == "--no-build":
            opts["do_build"] = False
        elif a == "--env":
            if value is None or "=" not in value:
                die("--env needs NAME=VALUE")
            name, _, setting = value.partition("=")
            opts["program_env"][name] = setting
            i += 1
        elif a in ("--program", "--compare"):
            if value is None:
                die(f"{a} needs a path")
            opts[a[2:]] = os.path.abspath(value)
            i += 1
        elif a == "--record":
            opts["record"] = True
        elif a == "--skip-micro":
            opts["micro"] = False
        elif a == "--skip-wine":
            opts["wine_runs"] = 0
        elif a in ("--build", "--seconds", "--pairs", "--window-pairs", "--blocked-seconds",
                   "--json", "--windows-build", "--wine-runs", "--model-seconds",
                   "--compare-windows"):
            if value is None:
                die(f"{a} needs a value")
            key = a[2:].replace("-", "_")
            try:
                opts[key] = {"build": os.path.abspath, "json": os.path.abspath,
                             "windows_build": os.path.abspath, "wine_runs": int,
                             "compare_windows": os.path.abspath,
                             "pairs": int, "window_pairs": int}.get(key, float)(value)
            except ValueError:
                die(f"{a}: not a number: {value}")
            i += 1
        else:
            die(f"unknown argument {a} (see --help)")
        i += 1
    return opts
