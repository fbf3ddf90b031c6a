"""The checks that keep the machine's own /dev/ttyS0 out of reach: where
the runner writes, where it mounts, and what /dev holds before the
command starts. Each refuses with REFUSED_STATUS."""

import os
import stat
import subprocess

from .common import ALLOWED_NODES, PORT, PTMX, PTY_SLAVE_MAJORS, REFUSED_STATUS, fail


def check_own_terminals():
    # Output to a console terminal would be output to a real serial port or
    # VT; only pipes, files and pseudo-terminals are accepted.
    for fd in (1, 2):
        try:
            st = os.fstat(fd)
        except OSError:
            continue
        if stat.S_ISCHR(st.st_mode):
            major = os.major(st.st_rdev)
            if major not in PTY_SLAVE_MAJORS and (major, os.minor(st.st_rdev)) not in (
                    (1, 3), (1, 5)):
                fail(REFUSED_STATUS, f"descriptor {fd} is terminal device {major}:"
                                     f"{os.minor(st.st_rdev)}; redirect the output to a file")


def check_namespace():
    outer = os.environ.get("VPORT_OUTER_MNTNS")
    mine = os.readlink("/proc/self/ns/mnt")
    if not outer or outer == mine:
        fail(REFUSED_STATUS, f"not in a new mount namespace ({mine}); refusing to mount anything")
    with open("/proc/self/mountinfo") as f:
        for line in f:
            fields = line.split()
            optional = fields[6:fields.index("-")]
            if any(o.startswith("shared:") for o in optional):
                fail(REFUSED_STATUS, f"mount {fields[4]} still propagates to the outside; "
                                     f"refusing to mount anything")


def verify_dev(slave, path=PORT):
    """The stat check: the port's path (/dev/ttyS0 unless --com) is our
    pseudo-terminal, /dev/ttyS0 is absent where it is not that path or no
    port was asked for, and nothing else under /dev is a terminal or other
    device of the machine."""
    if slave is None or path != PORT:
        if os.path.lexists(PORT):
            fail(REFUSED_STATUS, f"{PORT} exists although the port is not there; refusing")
    if slave is not None:
        try:
            port = os.stat(path)
        except OSError as e:
            fail(REFUSED_STATUS, f"{path} is not there ({e.strerror}); refusing")
        own = os.fstat(slave)
        if not (stat.S_ISCHR(port.st_mode) and port.st_rdev == own.st_rdev
                and os.major(port.st_rdev) in PTY_SLAVE_MAJORS
                and (port.st_dev, port.st_ino) == (own.st_dev, own.st_ino)):
            fail(REFUSED_STATUS,
                 f"{path} is {os.major(port.st_rdev)}:{os.minor(port.st_rdev)}, not the "
                 f"pseudo-terminal {os.major(own.st_rdev)}:{os.minor(own.st_rdev)}; refusing")
        # Same check as stat(1) would print, for the log.
        out = subprocess.run(["stat", "-L", "-c", "%n %F %t:%T", path], capture_output=True,
                             text=True, stdin=subprocess.DEVNULL).stdout.strip()
        if int(out.split()[-1].split(":")[0], 16) not in PTY_SLAVE_MAJORS:
            fail(REFUSED_STATUS, f"stat says {out}; refusing")
    for top, dirs, files in os.walk("/dev"):
        for name in files + dirs:
            entry = os.path.join(top, name)
            st = os.lstat(entry)
            if not stat.S_ISCHR(st.st_mode):
                continue
            node = (os.major(st.st_rdev), os.minor(st.st_rdev))
            if node in ALLOWED_NODES.values() or node == PTMX or node[0] in PTY_SLAVE_MAJORS:
                continue
            fail(REFUSED_STATUS, f"unexpected device {entry} ({node[0]}:{node[1]}); refusing")
