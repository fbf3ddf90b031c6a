#!/usr/bin/env python3
"""The refusals of with-virtual-port: a runner that would start a program
with /dev/ttyS0 being anything but its own pseudo-terminal must stop.

    runner_safety.py PATH-TO-with-virtual-port

Runs itself again in a private mount namespace with a tmpfs /dev, builds
the wrong situations there out of harmless nodes (null, full) and checks
that each safety check of the runner refuses (exit status 3); for --wine,
the same with a Wine prefix's port links, which are made, never followed.
No node of a real terminal is ever created or touched.
"""

import os
import runpy
import shutil
import stat
import subprocess
import sys
import tempfile
import types

# The harness beside this file: the namespace probe the runner makes too.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from harness import SKIP_STATUS, Refused, namespace  # noqa: E402
from harness.port import check_announced_port  # noqa: E402

REFUSED = 3


def load_runner(path):
    # The runner is a script without a .py name; its functions, not its main.
    return types.SimpleNamespace(**runpy.run_path(path, run_name="with_virtual_port"))


def refused(what, call):
    try:
        call()
    except SystemExit as e:
        ok = e.code == REFUSED
        print(("ok      " if ok else "FAILED  ") + f"{what}: exit status {e.code}", flush=True)
        return ok
    print(f"FAILED  {what}: not refused", flush=True)
    return False


def accepted(what, call):
    try:
        call()
    except SystemExit as e:
        print(f"FAILED  {what}: refused with status {e.code}", flush=True)
        return False
    print(f"ok      {what}", flush=True)
    return True


def as_suite():
    """The check the suite makes before each start of the program, from
    what the runner announced, failing as the runner's checks fail."""
    try:
        check_announced_port()
    except Refused:
        sys.exit(REFUSED)


def inside(runner_path):
    runner = load_runner(runner_path)
    try:
        namespace.check_private(os.environ["SAFETY_OUTER_MNTNS"])
    except Refused as e:
        print(f"FAILED  {e}; stopping")
        return 1
    subprocess.run(["mount", "-t", "tmpfs", "-o", "mode=0755,size=1m", "safety-dev", "/dev"],
                   check=True)
    os.mknod("/dev/null", 0o666 | stat.S_IFCHR, os.makedev(1, 3))
    os.mkdir("/dev/pts")
    subprocess.run(["mount", "-t", "devpts", "-o", "newinstance,ptmxmode=0666", "safety-pts",
                    "/dev/pts"], check=True)
    os.symlink("pts/ptmx", "/dev/ptmx")
    master, slave = os.openpty()
    results = []

    os.environ["VPORT_OUTER_MNTNS"] = os.readlink("/proc/self/ns/mnt")
    results.append(refused("mounting in the namespace it was started in",
                           runner.check_namespace))
    os.environ["VPORT_OUTER_MNTNS"] = os.environ["SAFETY_OUTER_MNTNS"]
    results.append(accepted("mounting in a private namespace", runner.check_namespace))

    results.append(refused("no /dev/ttyS0 at all", lambda: runner.verify_dev(slave)))

    # /dev/ttyS0 a device other than the pseudo-terminal.
    os.mknod("/dev/ttyS0", 0o600 | stat.S_IFCHR, os.makedev(1, 3))
    results.append(refused("/dev/ttyS0 another device (1:3)", lambda: runner.verify_dev(slave)))
    results.append(refused("/dev/ttyS0 present where no port was asked for",
                           lambda: runner.verify_dev(None)))
    os.unlink("/dev/ttyS0")

    # A pseudo-terminal, but not the runner's own.
    _, other = os.openpty()
    other_path = os.ttyname(other)
    open("/dev/ttyS0", "w").close()
    subprocess.run(["mount", "--bind", other_path, "/dev/ttyS0"], check=True)
    results.append(refused("/dev/ttyS0 another pseudo-terminal", lambda: runner.verify_dev(slave)))
    rdev = os.fstat(slave).st_rdev
    os.environ.update(VPORT_DEVICE="/dev/ttyS0", VPORT_SLAVE=os.ttyname(slave),
                      MODEMSIM_RDEV=f"{os.major(rdev)}:{os.minor(rdev)}")
    results.append(refused("the suite's check, /dev/ttyS0 another pseudo-terminal", as_suite))

    # The right one (bound over the other), then beside an unexpected device.
    subprocess.run(["mount", "--bind", os.ttyname(slave), "/dev/ttyS0"], check=True)
    results.append(accepted("/dev/ttyS0 the runner's pseudo-terminal",
                            lambda: runner.verify_dev(slave)))
    results.append(accepted("the suite's check, /dev/ttyS0 the runner's pseudo-terminal",
                            as_suite))

    # --com: the port at a name no scan looks at, and no /dev/ttyS0 beside it.
    elsewhere = "/dev/vport-com"
    open(elsewhere, "w").close()
    subprocess.run(["mount", "--bind", os.ttyname(slave), elsewhere], check=True)
    results.append(refused("/dev/ttyS0 still there beside the port bound elsewhere",
                           lambda: runner.verify_dev(slave, elsewhere)))
    subprocess.run(["umount", "/dev/ttyS0"], check=True)
    subprocess.run(["umount", "/dev/ttyS0"], check=True)
    os.unlink("/dev/ttyS0")
    results.append(accepted("the port bound elsewhere, no /dev/ttyS0",
                            lambda: runner.verify_dev(slave, elsewhere)))
    os.mknod("/dev/full", 0o666 | stat.S_IFCHR, os.makedev(1, 7))
    results.append(refused("an unexpected device beside it (/dev/full)",
                           lambda: runner.verify_dev(slave, elsewhere)))
    os.close(master)
    results += check_wine_prefix(runner)
    return 0 if all(results) else 1


def check_wine_prefix(runner):
    """--wine: Wine's one port (COM1, or the name --com gives) must be the
    pseudo-terminal, no other name of the prefix may lead to a device, and
    SERIALCOMM must list that port alone. Only links are made, never followed."""
    prefix = tempfile.mkdtemp(prefix="safety-wine-")
    dosdevices = os.path.join(prefix, "dosdevices")
    os.mkdir(dosdevices)
    os.symlink("../drive_c", os.path.join(dosdevices, "c:"))
    os.symlink("/", os.path.join(dosdevices, "z:"))

    def link(name, target):
        path = os.path.join(dosdevices, name)
        if os.path.lexists(path):
            os.unlink(path)
        os.symlink(target, path)

    def verify(mapped, ports=None, serialcomm=None):
        return lambda: runner.verify_prefix(prefix, mapped, ports or {}, serialcomm or {})

    com1, listed1 = {"com1": "/dev/ttyS0"}, {r"\DEVICE\SERIAL0": "COM1"}
    results = [refused("Wine without COM1 although a port was asked for",
                       verify(com1, serialcomm=listed1))]
    link("com1", "/dev/null")
    results.append(refused("Wine's COM1 another device", verify(com1, serialcomm=listed1)))
    link("com1", "/dev/ttyS0")
    results.append(accepted("Wine's COM1 the port", verify(com1, {"COM1": "/dev/ttyS0"}, listed1)))
    results.append(refused("Wine's COM1 present where no port was asked for", verify({})))
    results.append(refused("Wine's Ports key naming another device",
                           verify(com1, {"COM2": "/dev/ttyS1"}, listed1)))
    results.append(refused("SERIALCOMM listing another port beside COM1",
                           verify(com1, {}, {**listed1, r"\DEVICE\SERIAL1": "COM2"})))

    # --com COM3: COM3 alone, through the Ports key.
    os.unlink(os.path.join(dosdevices, "com1"))
    com3, listed3 = {"com3": "/dev/vport-com"}, {r"\DEVICE\SERIAL2": "COM3"}
    link("com3", "/dev/vport-com")
    results.append(accepted("Wine's COM3 alone, from the Ports key",
                            verify(com3, {"COM3": "/dev/vport-com"}, listed3)))
    results.append(refused("SERIALCOMM without the port", verify(com3, {"COM3": "/dev/vport-com"})))
    link("com2", "/dev/ttyS1")
    results.append(refused("another of Wine's port names leading to a device",
                           verify(com3, {"COM3": "/dev/vport-com"}, listed3)))
    shutil.rmtree(prefix)
    return results


def main():
    runner_path = os.path.abspath(sys.argv[1])
    if len(sys.argv) > 2 and sys.argv[2] == "--inside":
        return inside(runner_path)
    reason = namespace.unavailable()
    if reason:
        print(f"SKIP: cannot create a private mount namespace here ({reason})")
        return SKIP_STATUS
    env = dict(os.environ, SAFETY_OUTER_MNTNS=os.readlink("/proc/self/ns/mnt"))
    return subprocess.run([*namespace.UNSHARE, "--", sys.executable, os.path.abspath(__file__),
                           runner_path, "--inside"], env=env, stdin=subprocess.DEVNULL).returncode


if __name__ == "__main__":
    sys.exit(main())
