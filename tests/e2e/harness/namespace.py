"""The private mount namespace the port lives in: whether this machine can
make one at all, and whether the caller is in one that keeps its mounts."""

import os
import subprocess

from . import Refused

UNSHARE = ["unshare", "--mount", "--propagation", "private"]


def unavailable():
    """Why no private mount namespace can be made here, or None."""
    probe = subprocess.run([*UNSHARE, "true"], stdin=subprocess.DEVNULL, capture_output=True,
                           text=True)
    if probe.returncode == 0:
        return None
    return (probe.stderr.strip().splitlines() or ["unknown reason"])[-1]


def check_private(outer):
    """Refuses unless this process is in a mount namespace other than
    `outer` (the one it was started from) and no mount here propagates
    back, so nothing mounted over /dev/ttyS0 can show outside."""
    mine = os.readlink("/proc/self/ns/mnt")
    if not outer or outer == mine:
        raise Refused(f"not in a new mount namespace ({mine})")
    with open("/proc/self/mountinfo") as f:
        for line in f:
            fields = line.split()
            optional = fields[6:fields.index("-")]
            if any(o.startswith("shared:") for o in optional):
                raise Refused(f"mount {fields[4]} still propagates to the outside")
