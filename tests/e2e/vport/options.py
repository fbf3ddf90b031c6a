"""The runner's command line, and where the simulator library is."""

import os
import re
import sys

from .common import USAGE_STATUS, fail


# A duration the simulator takes with fractions: "3", "0.5".
MS = r"\d+(?:\.\d+)?"


def parse_args(argv, usage):
    opts = {
        "port": True, "drain": True, "save": None, "count": None, "fill": False,
        "pass_master": False, "log": None, "codes": None, "cycle": False,
        "fail_after": None, "fail_writes": False, "preload": None, "set_preload": True,
        "wine": False, "dcd_late": None, "com": None, "call_ms": None, "deselected": None,
        "dcd_late_later": None,
    }
    i = 0
    takes_value = {"--save": "save", "--count": "count", "--log": "log", "--codes": "codes",
                   "--fail-after": "fail_after", "--preload": "preload",
                   "--dcd-late": "dcd_late", "--com": "com", "--call-ms": "call_ms",
                   "--deselected": "deselected", "--dcd-late-later": "dcd_late_later"}
    flags = {"--no-port": ("port", False), "--drain": ("drain", True),
             "--no-read": ("drain", False), "--fill": ("fill", True),
             "--pass-master": ("pass_master", True), "--cycle": ("cycle", True),
             "--fail-writes": ("fail_writes", True), "--no-preload": ("set_preload", False),
             "--wine": ("wine", True)}
    while i < len(argv):
        a = argv[i]
        if a == "--":
            i += 1
            break
        if a in ("-h", "--help"):
            print(usage)
            sys.exit(0)
        if a in takes_value:
            if i + 1 >= len(argv):
                fail(USAGE_STATUS, f"{a} needs a value")
            opts[takes_value[a]] = argv[i + 1]
            i += 2
            continue
        if a in flags:
            key, value = flags[a]
            opts[key] = value
            i += 1
            continue
        if a.startswith("-"):
            fail(USAGE_STATUS, f"unknown option {a} (see --help)")
        break
    command = argv[i:]
    if not command:
        fail(USAGE_STATUS, "no command given (see --help)")
    if opts["fill"] and opts["drain"]:
        fail(USAGE_STATUS, "--fill only makes sense with --no-read")
    if (opts["save"] or opts["count"]) and not opts["drain"]:
        fail(USAGE_STATUS, "--save and --count need --drain")
    if opts["fail_after"] is not None and not opts["fail_after"].isdigit():
        fail(USAGE_STATUS, "--fail-after needs a whole number")
    if opts["dcd_late"] is not None and not re.fullmatch(r"\d+,\d+", opts["dcd_late"]):
        fail(USAGE_STATUS, "--dcd-late needs LAG,PERIOD in whole milliseconds")
    if opts["dcd_late_later"] is not None and not re.fullmatch(rf"{MS}:\d+,\d+",
                                                               opts["dcd_late_later"]):
        fail(USAGE_STATUS, "--dcd-late-later needs SECONDS:LAG,PERIOD (the lag and the "
                           "period in whole milliseconds)")
    if opts["call_ms"] is not None and not re.fullmatch(rf"{MS},{MS}", opts["call_ms"]):
        fail(USAGE_STATUS, "--call-ms needs SET,GET in milliseconds")
    if opts["deselected"] not in (None, "low", "keep", "float"):
        fail(USAGE_STATUS, "--deselected needs low, keep or float")
    if opts["com"] is not None and not (re.fullmatch(r"COM[2-9]", opts["com"]) and opts["wine"]
                                        and opts["port"]):
        fail(USAGE_STATUS, "--com needs COM2 to COM9, --wine and a port")
    return opts, command


def find_preload(explicit, here):
    """here: the runner's own folder, tests/e2e of the source tree."""
    if explicit:
        return os.path.abspath(explicit)
    if os.environ.get("MODEMSIM_PRELOAD"):
        return os.path.abspath(os.environ["MODEMSIM_PRELOAD"])
    repo = os.path.dirname(os.path.dirname(here))
    candidates = [os.path.join(here, "libmodemsim_preload.so")]
    for entry in sorted(os.listdir(repo)):
        if entry.startswith("build"):
            candidates.append(os.path.join(repo, entry, "tests", "e2e", "libmodemsim_preload.so"))
    for c in candidates:
        if os.path.isfile(c):
            return c
    fail(USAGE_STATUS, "libmodemsim_preload.so not found; build the modemsim_preload "
                       "target or pass --preload PATH")
