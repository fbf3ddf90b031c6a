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
from harness.window import CHECK1  # noqa: F401  (ticked as the suite ticks it)

TARGETS = {
    "cpu_ratio": 1.35,          # program CPU / floor CPU, at most
    "ticks_ratio": 0.98,        # program ticks/s / floor ticks/s, at least
    "line_calls": 32,           # per read cycle, exactly
    "reading_delay_ms": 300.0,  # Timer1's tick to the reading shown, worst
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
            "windows_build": os.path.join(REPO, "build-windows"), "wine_runs": 2}
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
                   "--json", "--windows-build", "--wine-runs"):
            if value is None:
                die(f"{a} needs a value")
            key = a[2:].replace("-", "_")
            try:
                opts[key] = {"build": os.path.abspath, "json": os.path.abspath,
                             "windows_build": os.path.abspath, "wine_runs": int,
                             "pairs": int, "window_pairs": int}.get(key, float)(value)
            except ValueError:
                die(f"{a}: not a number: {value}")
            i += 1
        else:
            die(f"unknown argument {a} (see --help)")
        i += 1
    return opts
