"""The runner's two halves: outside, which checks what it can and starts
itself again in a private mount namespace; inside, which builds /dev
there, checks it, and runs the command."""

import os
import shutil
import signal
import subprocess
import sys

from harness import SKIP_STATUS, namespace
from harness.port import PORT, UNSCANNED_PORT

from .devfs import attach_port, build_dev
from .line import Drainer, fill_line
from .options import find_preload, parse_args
from .safety import check_namespace, check_own_terminals, verify_dev
from .wine import NO_WINE_PREFIX, make_prefix, stop_wine, wine_env


def exit_with(status):
    sys.exit(status if status >= 0 else 128 - status)


def on_stop_signals(handler):
    for signum in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(signum, handler)


# ---------------------------------------------------------------- outside

def outside(argv, script, usage):
    """script: the runner's own path, started again inside the namespace."""
    opts, _ = parse_args(argv, usage)  # fail early on bad usage, before unsharing
    check_own_terminals()
    preload = find_preload(opts["preload"], os.path.dirname(script))
    if opts["wine"] and not all(shutil.which(t) for t in ("wine", "wineboot", "wineserver")):
        print("SKIP: --wine needs wine, wineboot and wineserver (Debian: wine wine64)", flush=True)
        sys.exit(SKIP_STATUS)
    reason = namespace.unavailable()
    if reason:
        print(f"SKIP: cannot create a private mount namespace here ({reason}); "
              f"the virtual serial port needs one", flush=True)
        sys.exit(SKIP_STATUS)

    env = dict(os.environ)
    env["VPORT_OUTER_MNTNS"] = os.readlink("/proc/self/ns/mnt")
    env["MODEMSIM_PRELOAD"] = preload
    child = subprocess.Popen(
        [*namespace.UNSHARE, "--", sys.executable, script, "--inside-namespace", *argv],
        env=env, stdin=subprocess.DEVNULL)

    def forward(signum, _frame):
        try:
            child.send_signal(signum)
        except ProcessLookupError:
            pass

    on_stop_signals(forward)
    exit_with(child.wait())


# ----------------------------------------------------------------- inside

def simulator_env(opts, port_path):
    """The simulator's settings from the options; unset where not given."""
    env = dict(os.environ)
    env.pop("MODEMSIM_RDEV", None)
    env["VPORT_DEVICE"] = port_path
    for key, value in (("MODEMSIM_LOG", opts["log"] and os.path.abspath(opts["log"])),
                       ("MODEMSIM_CODES", opts["codes"]),
                       ("MODEMSIM_REPEAT", "cycle" if opts["cycle"] else None),
                       ("MODEMSIM_FAIL_AFTER", opts["fail_after"]),
                       ("MODEMSIM_FAIL_WRITES", "1" if opts["fail_writes"] else None),
                       ("MODEMSIM_DCD_LATE", opts["dcd_late"]),
                       ("MODEMSIM_DCD_LATE_LATER", opts["dcd_late_later"]),
                       ("MODEMSIM_CALL_MS", opts["call_ms"]),
                       ("MODEMSIM_DESELECTED", opts["deselected"])):
        if value:
            env[key] = value
        else:
            env.pop(key, None)
    if opts["set_preload"]:
        env["LD_PRELOAD"] = " ".join(filter(None, [env["MODEMSIM_PRELOAD"],
                                                   env.get("LD_PRELOAD")]))
    return env


def inside(argv, usage):
    opts, command = parse_args(argv, usage)
    check_namespace()
    build_dev()

    master = slave = None
    port_path = UNSCANNED_PORT if opts["com"] else PORT
    env = simulator_env(opts, port_path)
    if opts["port"]:
        master, slave, slave_path = attach_port(port_path)
        rdev = os.fstat(slave).st_rdev
        env["MODEMSIM_RDEV"] = f"{os.major(rdev)}:{os.minor(rdev)}"
        env["VPORT_SLAVE"] = slave_path

    drainer = None
    pass_fds = ()
    if master is not None:
        if opts["drain"]:
            drainer = Drainer(master, opts["save"], opts["count"])
            drainer.start()
        elif opts["fill"]:
            fill_line(slave)
        if opts["pass_master"]:
            os.set_inheritable(master, True)
            env["VPORT_MASTER_FD"] = str(master)
            pass_fds = (master,)

    verify_dev(slave, port_path)
    prefix = None
    if not opts["wine"]:
        # A Wine started without --wine would use the shared ~/.wine, whose
        # wineserver may be one running outside with the machine's ports.
        env["WINEPREFIX"] = NO_WINE_PREFIX
    else:
        def interrupted(signum, _frame):
            raise SystemExit(128 + signum)  # make_prefix cleans up on the way out

        on_stop_signals(interrupted)
        # os.environ: without the simulator, which only the command needs.
        com = opts["com"] or "COM1"
        mapped = {com.lower(): port_path} if opts["port"] else {}
        prefix = make_prefix(os.environ, mapped, opts["com"])
        env = wine_env(env, prefix)
    child = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL,
                             start_new_session=True, pass_fds=pass_fds)

    def stop_session():
        try:
            os.killpg(child.pid, signal.SIGTERM)
        except ProcessLookupError:
            pass

    on_stop_signals(lambda _signum, _frame: stop_session())
    status = child.wait()
    # Whatever the command left running in its session goes too: all of it
    # was started from here, and it must not outlive the port.
    stop_session()
    if prefix:
        stop_wine(prefix, os.environ)

    if drainer:
        drainer.finish()
    exit_with(status)
