#!/usr/bin/env python3
"""The thermometer's end-to-end scenarios.

    scenarios.py SCENARIO --program PATH --preload PATH --close-window PATH
                 --runner PATH --work DIR
                 (--clipboard-text PATH | --wine --window-texts PATH)
                 [--chart PATH --demo PATH]

Each scenario copies the real program into DIR/thermometer (it saves beside itself),
starts its own Xvfb, and runs a driver inside with-virtual-port: a private
mount namespace in which /dev/ttyS0 is a pseudo-terminal whose modem lines
the preloaded converter model answers. The driver works the window with
xdotool as a person would and notes what it did and when (DIR/facts.json);
once the namespace is gone, the checks read the saved files, the model's
logs and the master side of the line, and print one line per check.

With --wine the program is the Windows build (thermometer.exe), run with
`wine` in a fresh Wine prefix the runner makes for the scenario, on an X
server with a window manager; window_texts.exe, run in the same prefix,
reads what the window shows. The Linux build's text box is read back
through the clipboard (clipboard_text), after Ctrl+C.

Exit status: 0 passed, 1 failed, 77 skipped (no mount namespace here).
"""

import argparse
import os
import sys

# Keep the source tree free of __pycache__ folders.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from suite import adapters, chart, languages, line, recording, startup, survival  # noqa: E402
from suite.run import inside, outside  # noqa: E402

SCENARIOS = {**recording.SCENARIOS, **line.SCENARIOS, **adapters.SCENARIOS,
             **startup.SCENARIOS, **languages.SCENARIOS, **survival.SCENARIOS,
             **chart.SCENARIOS}


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    parser.add_argument("--inside", action="store_true", help=argparse.SUPPRESS)
    parser.add_argument("--program", required=True)
    parser.add_argument("--preload", required=True)
    parser.add_argument("--close-window", required=True)
    parser.add_argument("--runner", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--wine", action="store_true")
    parser.add_argument("--window-texts")
    parser.add_argument("--clipboard-text")
    parser.add_argument("--chart", help="thermometer-chart, for the chart's scenarios")
    parser.add_argument("--demo", help="thermometer-demo, for the chart's scenarios")
    # --inside comes after the scenario name on the runner's command line.
    argv = sys.argv[1:]
    if "--inside" in argv:
        argv.remove("--inside")
        args = parser.parse_args(argv)
        return inside(args, SCENARIOS[args.scenario])
    args = parser.parse_args(argv)
    if args.wine and not args.window_texts:
        parser.error("--wine needs --window-texts")
    if not args.wine and not args.clipboard_text:
        parser.error("the Linux build needs --clipboard-text")
    return outside(args, SCENARIOS[args.scenario], os.path.abspath(__file__))


if __name__ == "__main__":
    sys.exit(main())
