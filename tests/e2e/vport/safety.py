"""The checks that keep the machine's own /dev/ttyS0 out of reach: where
the runner writes, where it mounts, and what /dev holds before the
command starts. Each refuses with REFUSED_STATUS; the namespace and /dev
checks themselves are the harness's, which the suite makes again."""

import os
import stat

from harness import Refused, namespace
from harness.port import PORT, PTY_SLAVE_MAJORS, check_port

from .common import REFUSED_STATUS, fail


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
    try:
        namespace.check_private(os.environ.get("VPORT_OUTER_MNTNS"))
    except Refused as e:
        fail(REFUSED_STATUS, f"{e}; refusing to mount anything")


def verify_dev(slave, path=PORT):
    """The stat check before the command starts (harness.port.check_port),
    against the runner's own pseudo-terminal slave."""
    try:
        check_port(path, None if slave is None else os.fstat(slave))
    except Refused as e:
        fail(REFUSED_STATUS, f"{e}; refusing")
