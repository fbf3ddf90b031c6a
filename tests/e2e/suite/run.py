"""One scenario from start to verdict. Outside: a fresh work folder with a
copy of the program, an X server, and the runner starting this command
again inside its namespace; then the checks. Inside: the driver."""

import os
import shutil
import subprocess
import sys
import traceback

from harness import SKIP_STATUS
from harness.xserver import XServer

from .checks import Checks
from .common import PROGRAM_FOLDER
from .driver import Driver
from .target import program_for


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
    target = program_for(args)
    tools = ["Xvfb", "xdotool", "import", "unshare", "mount"]
    window_manager = target.window_manager or scenario.framed
    tools += ["openbox", "xprop"] if window_manager else []
    for tool in tools:
        if shutil.which(tool) is None:
            print(f"FAILED  {tool} is not installed (scripts/setup.sh installs it)")
            return 1
    name = args.scenario
    work = os.path.abspath(args.work)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(os.path.join(work, PROGRAM_FOLDER))
    for needed in (args.program, args.window_texts, args.clipboard_text):
        if needed and not os.path.isfile(needed):
            print(f"FAILED  {needed} does not exist; build it first")
            return 1
    shutil.copy2(args.program, os.path.join(work, PROGRAM_FOLDER, target.exe_name))
    # The chart and the demo, for the chart's scenarios, under their own names.
    for other in (args.chart, args.demo):
        if other:
            shutil.copy2(other, os.path.join(work, PROGRAM_FOLDER, os.path.basename(other)))
    if scenario.prepare:
        scenario.prepare(work)

    screen = {"size": scenario.screen} if scenario.screen else {}
    xserver = XServer(work, window_manager=window_manager, **screen)
    try:
        env = dict(os.environ, DISPLAY=xserver.display)
        env.pop("XAUTHORITY", None)
        inner = ["--program", args.program, "--preload", args.preload,
                 "--close-window", args.close_window, "--runner", args.runner, "--work", work]
        for option, value in (("--chart", args.chart), ("--demo", args.demo)):
            if value:
                inner += [option, value]
        if args.wine:
            inner += ["--wine", "--window-texts", args.window_texts]
        else:
            inner += ["--clipboard-text", args.clipboard_text]
        command = [sys.executable, args.runner, "--no-preload", "--preload", args.preload,
                   *target.runner_options, *runner_options(scenario.options, work), "--",
                   sys.executable, script, "--inside", name, *inner]
        runner = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL)
        try:
            status = runner.wait(timeout=150)
        except subprocess.TimeoutExpired:
            runner.terminate()
            status = runner.wait()
            print("FAILED  the scenario did not finish within 150 s")
            return 1
    finally:
        xserver.stop()
    if status == SKIP_STATUS:
        return SKIP_STATUS
    if not os.path.exists(os.path.join(work, "facts.json")):
        print(f"FAILED  the driver did not get going (status {status}); see the output above")
        return 1
    c = Checks(work, target)
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
