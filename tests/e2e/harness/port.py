"""Where the virtual port is, and the check that it is ours: made by the
runner right before the command starts, and by the suite again right before
each copy of the program starts. Nothing here opens a device: stat only."""

import os
import stat
import subprocess

from . import Refused

PORT = "/dev/ttyS0"
# Where --com binds the port instead: a name no scan for serial ports
# (Wine's: ttyS*, ttyUSB*, ttyACM*) ever looks at.
UNSCANNED_PORT = "/dev/vport-com"
PTY_SLAVE_MAJORS = range(136, 144)
# (major, minor) of the only other character devices the new /dev may hold.
ALLOWED_NODES = {
    "null": (1, 3),
    "zero": (1, 5),
    "urandom": (1, 9),
    "tty": (5, 0),
}
PTMX = (5, 2)


def node_text(st):
    return f"{os.major(st.st_rdev)}:{os.minor(st.st_rdev)}"


def check_port(path, own):
    """own: the stat of the runner's pseudo-terminal slave, None where no
    port was asked for. Refuses unless `path` (/dev/ttyS0 unless --com) is
    that very slave, /dev/ttyS0 is absent where it is not the port, and
    nothing else under /dev is a terminal or other device of the machine."""
    if own is None or path != PORT:
        if os.path.lexists(PORT):
            raise Refused(f"{PORT} exists although the port is not there")
    if own is not None:
        try:
            port = os.stat(path)
        except OSError as e:
            raise Refused(f"{path} is not there ({e.strerror})") from None
        if not (stat.S_ISCHR(port.st_mode) and port.st_rdev == own.st_rdev
                and os.major(port.st_rdev) in PTY_SLAVE_MAJORS
                and (port.st_dev, port.st_ino) == (own.st_dev, own.st_ino)):
            raise Refused(f"{path} is {node_text(port)}, not the pseudo-terminal "
                          f"{node_text(own)}")
        # Once more as stat(1) sees it, which is also what the log shows.
        out = subprocess.run(["stat", "-L", "-c", "%n %F %t:%T", path], capture_output=True,
                             text=True, stdin=subprocess.DEVNULL).stdout.strip()
        if int(out.split()[-1].split(":")[0], 16) not in PTY_SLAVE_MAJORS:
            raise Refused(f"stat says {out}")
    for top, dirs, files in os.walk("/dev"):
        for name in files + dirs:
            entry = os.path.join(top, name)
            st = os.lstat(entry)
            if not stat.S_ISCHR(st.st_mode):
                continue
            node = (os.major(st.st_rdev), os.minor(st.st_rdev))
            if node in ALLOWED_NODES.values() or node == PTMX or node[0] in PTY_SLAVE_MAJORS:
                continue
            raise Refused(f"unexpected device {entry} ({node[0]}:{node[1]})")


def check_announced_port():
    """check_port for a command the runner started, from what the runner
    told it: VPORT_DEVICE, and with a port VPORT_SLAVE and MODEMSIM_RDEV."""
    path = os.environ.get("VPORT_DEVICE", PORT)
    rdev = os.environ.get("MODEMSIM_RDEV")
    own = None
    if rdev is not None:
        try:
            own = os.stat(os.environ["VPORT_SLAVE"])
        except (KeyError, OSError) as e:
            raise Refused(f"the runner's pseudo-terminal is not there ({e})") from None
        if node_text(own) != rdev:
            raise Refused(f"the runner's pseudo-terminal is {node_text(own)}, not {rdev}")
    check_port(path, own)
