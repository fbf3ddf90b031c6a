"""Which build of the program a scenario drives: the Linux one, or the
Windows one under Wine. The scenarios are the same for both; what differs
is how the program starts, what its reports name, and how its line calls
show in the converter model's log."""

import os

from harness.modem_log import line_calls, wine_line_calls

from .common import PROGRAM_FOLDER


class LinuxProgram:
    exe_name = "thermometer"
    exe_suffix = ""  # of the programs beside it: thermometer-demo, thermometer-chart
    runner_options = []
    window_manager = False
    device = "/dev/ttyS0"
    # errno of the simulated line failure (EIO), with the C library's text.
    line_failure_report = ("Error 5: The port stopped working (adapter unplugged, or the "
                           "computer slept): Input/output error (/dev/ttyS0)")
    # The locale the scenarios run under unless they choose one.
    locale = "C.UTF-8"
    # The system's error numbers for a missing port and a missing folder.
    error_numbers = {"port missing": 2, "save failed": 2}
    # Line calls allowed before the first read, besides raising DTR.
    setup_calls = frozenset()
    # Names refused when saving, with the reason given: none on Linux.
    refused_names = {}
    # Screenshots the pictures scenario takes: (name, locale, dots per inch).
    pictures = [("window-C", "C.UTF-8", 96), ("window-de_DE", "de_DE.UTF-8", 96),
                ("window-ru_RU", "ru_RU.UTF-8", 96)]
    # The pictures that also show a failed save's message box, and its picture.
    box_pictures = {"window-C": "message-linux-en", "window-ru_RU": "message-linux-ru"}

    def command(self, exe):
        return [exe]

    def environment(self, locale):
        return {"QT_QPA_PLATFORM": "xcb", "LC_ALL": locale, "LANG": locale}

    def path_text(self, path):
        """A path of ours as the program names it."""
        return path

    def line_calls(self, events):
        """The modem log as the program's own line calls, one event each."""
        return line_calls(events)

class WineProgram(LinuxProgram):
    exe_name = "thermometer.exe"
    exe_suffix = ".exe"
    runner_options = ["--wine"]
    window_manager = True
    device = "COM1"
    # Wine answers a failing line (EIO) with ERROR_NOT_READY.
    line_failure_report = ("Error 21: The port stopped working (adapter unplugged, or the "
                           "computer slept): ")
    error_numbers = {"port missing": 2, "save failed": 3}
    # Opening the port, Wine sets the lines of the DCB one at a time: with
    # RTS control off it lowers RTS, while DTR keeps the converter deselected.
    setup_calls = frozenset({"RTS 0"})
    refused_names = {"COM3": '"COM3" is the name of a device on Windows',
                     "NUL": '"NUL" is the name of a device on Windows',
                     "a:b": "a file name on Windows cannot hold the character :"}
    pictures = [("windows-C", "C.UTF-8", 96), ("windows-ru_RU", "ru_RU.UTF-8", 96),
                ("windows-144dpi", "C.UTF-8", 144)]
    box_pictures = {"windows-C": "message-windows-en", "windows-ru_RU": "message-windows-ru"}

    def command(self, exe):
        return ["wine", exe]

    def path_text(self, path):
        # Wine shows the Linux file system as drive Z:.
        return "Z:" + path.replace("/", "\\")

    def environment(self, locale):
        # Wine takes the user's locale from these at every start.
        return {"LC_ALL": locale, "LANG": locale}

    def line_calls(self, events):
        # Wine's read-modify-write of the whole modem word, read back as
        # the one line each call changed.
        return wine_line_calls(events)


def program_for(args):
    return WineProgram() if getattr(args, "wine", False) else LinuxProgram()


def app_folder_files(work, target):
    """What lies beside the program, the program itself left out."""
    return sorted(n for n in os.listdir(os.path.join(work, PROGRAM_FOLDER)) if n != target.exe_name)
