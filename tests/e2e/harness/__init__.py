"""What the end-to-end suite (suite/), the virtual-port runner (vport/) and
bench/running-cost share, so that each rule is written once: where the port
is and how it is checked to be ours, the private mount namespace, how the
converter model's log reads, the window's layout, and the X server."""

# ctest's SKIP_RETURN_CODE: what this machine cannot do is not a failure.
SKIP_STATUS = 77


class Refused(Exception):
    """A safety check found something that could reach the machine's own
    /dev/ttyS0: nothing may start."""
