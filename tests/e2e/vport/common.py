"""What every part of the runner shares: exit statuses, the port, the
device numbers it trusts, and how it gives up."""

import subprocess
import sys

SKIP_STATUS = 77
REFUSED_STATUS = 3
USAGE_STATUS = 2
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


def fail(status, message):
    print(f"with-virtual-port: {message}", file=sys.stderr, flush=True)
    sys.exit(status)


def run(*args):
    result = subprocess.run(list(args), stdin=subprocess.DEVNULL, capture_output=True, text=True)
    if result.returncode != 0:
        raise OSError(f"{' '.join(args)}: {result.stderr.strip()}")
