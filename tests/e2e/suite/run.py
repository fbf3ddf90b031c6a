"""One scenario from start to verdict. Outside: a fresh work folder with a
copy of the program, an X server, and the runner starting this command
again inside its namespace; then the checks. Inside: the driver."""

import os
import shutil
import subprocess
import sys
import traceback

from .checks import Checks
from .common import SKIP_STATUS
from .display import start_xvfb, stop_xvfb
from .driver import Driver


def runner_options(options, work):
    """--opt=value as two words; relative files go to the work folder."""
    out = []
    for o in options:
        if "=" in o:
            key, value = o.split("=", 1)
            if key == "--save":
                value = os.path.join(work, value)
            out += [key, value]
        else:
            out.append(o)
    return out


def outside(args, scenario, script):
    """script: the scenarios command, which the runner starts with --inside."""
    for tool in ("Xvfb", "xdotool", "import", "unshare", "mount"):
        if shutil.which(tool) is None:
            print(f"FAILED  {tool} is not installed (scripts/setup.sh installs it)")
            return 1
    name = args.scenario
    work = os.path.abspath(args.work)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(os.path.join(work, "app"))
    shutil.copy2(args.program, os.path.join(work, "app", "thermometer"))
    if scenario.prepare:
        scenario.prepare(work)

    xvfb, display = start_xvfb(work)
    try:
        env = dict(os.environ, DISPLAY=display)
        env.pop("XAUTHORITY", None)
        command = [sys.executable, args.runner, "--no-preload", "--preload", args.preload,
                   *runner_options(scenario.options, work), "--",
                   sys.executable, script, "--inside", name,
                   "--program", args.program, "--preload", args.preload,
                   "--close-window", args.close_window, "--runner", args.runner,
                   "--work", work]
        runner = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL)
        try:
            status = runner.wait(timeout=150)
        except subprocess.TimeoutExpired:
            runner.terminate()
            status = runner.wait()
            print("FAILED  the scenario did not finish within 150 s")
            return 1
    finally:
        stop_xvfb(xvfb)
    if status == SKIP_STATUS:
        return SKIP_STATUS
    if not os.path.exists(os.path.join(work, "facts.json")):
        print(f"FAILED  the driver did not get going (status {status}); see the output above")
        return 1
    c = Checks(work)
    if c.facts.get("error"):
        c.expect(False, "driving the window: " + c.facts["error"])
    else:
        scenario.check(c)
    print(f"{name}: {'FAILED' if c.failed else 'passed'} (files in {work})", flush=True)
    return 1 if c.failed else 0


def inside(args, scenario):
    d = Driver(args)
    try:
        scenario.drive(d)
    except Exception as e:  # noted for the checks, which report it
        d.note("error", f"{type(e).__name__}: {e}")
        traceback.print_exc()
        d.screenshot("failure.png")
    finally:
        d.cleanup()
        d.save_facts()
    return 0
