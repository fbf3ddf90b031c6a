"""What every part of the runner shares: its own exit statuses, and how it
gives up. The port, its checks and SKIP_STATUS are the harness's."""

import subprocess
import sys

REFUSED_STATUS = 3
USAGE_STATUS = 2


def fail(status, message):
    print(f"with-virtual-port: {message}", file=sys.stderr, flush=True)
    sys.exit(status)


def run(*args):
    result = subprocess.run(list(args), stdin=subprocess.DEVNULL, capture_output=True, text=True)
    if result.returncode != 0:
        raise OSError(f"{' '.join(args)}: {result.stderr.strip()}")
