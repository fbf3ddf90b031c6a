"""What the driver, the checks and the scenarios all go by: the codes the
model presents, the clock, the scenario table's shape. The window's layout
and the port are the harness's, shared with the runner and the bench."""

import time
from collections import namedtuple

# The program's own folder in a scenario's work folder, where it saves its
# log and journal, named as a user's copy of it would be.
PROGRAM_FOLDER = "thermometer"

# Codes whose readings are whole degrees well inside a hundredth of a volt:
# 20, 25, 18, 23, 0, -5, 21, 27, 19 and 24 degrees. Neighbours differ in
# many bits, so a slipped clock or a bit read out of turn shows at once.
VARIED_CODES = [590, 601, 586, 597, 549, 539, 593, 604, 588, 599]
# For the bit-level check: all ones, all zeros, the MSB alone, alternating.
BIT_PATTERN_CODES = [1023, 0, 512, 341, 682, 1]


def cycling(codes):
    """Runner options that present these codes over and over."""
    return [f"--codes={','.join(map(str, codes))}", "--cycle"]


# DCD reported late, as USB adapters report it: held LAG ms, and refreshed
# every PERIOD ms ("LAG,PERIOD"); either way a change shows 20 ms later at most.
DCD_HELD_20_MS = ["--dcd-late=20,0"]
DCD_REFRESHED_LIKE_FTDI = ["--dcd-late=4,16"]

# A read is spread over the keep-alive ticks after Timer1's: its reading
# can come this long after the conversion began (a modal loop included).
READING_DELAY = 0.5


# How long after xdotool returns the program may take to act on a click.
CLICK_GRACE = 0.75

# options: for the runner; drive: runs inside its namespace; check: runs
# outside once it is gone; prepare: sets up the work folder before either;
# framed: a window manager draws title bars even where the target has none;
# screen: the X screen's size where the default is too small.
Scenario = namedtuple("Scenario", "options drive check prepare framed screen",
                      defaults=(None, False, None))


def now():
    return time.monotonic()  # CLOCK_MONOTONIC, the clock of the modem log


def centre(rect, dx=None):
    x, y, w, h = rect
    return (x + (w // 2 if dx is None else dx), y + h // 2)


def expected_temperature(code):
    """The temperature text the window shows for a converter code: the
    voltage (5.083 V full scale over 1024 steps) rounded to hundredths, with
    2.73 V at 0 degC and 10 mV per degree. The codes used here all give whole
    degrees.

    The scale is written out here again on purpose, not taken from the
    program: the suite is an independent check of the program's arithmetic."""
    volts_text = "%.2f" % (code * 5.083 / 1024)
    return str(round((float(volts_text) - 2.73) * 100))
