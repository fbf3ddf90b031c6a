"""The checks, run outside once the namespace is gone: one line per check,
and the judgements several scenarios share: the saved list's form, and
which conversions it holds."""

import json
import os
import re
import time

from harness.modem_log import conversions, read_modem_log

from .common import CLICK_GRACE, PROGRAM_FOLDER, READING_DELAY, expected_temperature
from .target import app_folder_files
from .wording import words


class Checks:
    def __init__(self, work, target):
        self.work = work
        self.target = target
        self.failed = 0
        with open(os.path.join(work, "facts.json")) as f:
            self.facts = json.load(f)

    def path(self, name):
        return os.path.join(self.work, name)

    def expect(self, ok, text):
        print(("ok      " if ok else "FAILED  ") + text, flush=True)
        if not ok:
            self.failed += 1
        return ok

    def ended_normally(self, text="the program ended with status 0", tag="main"):
        status = self.facts.get(f"{tag} exit")
        return self.expect(status == 0, f"{text} ({status})")

    def ended_in_error(self, text="the program ends with a non-zero status", tag="main"):
        status = self.facts.get(f"{tag} exit")
        return self.expect(status not in (0, None), f"{text} ({status})")

    def when(self, what):
        """Monotonic time of the first event that starts with `what`."""
        for t, text in self.facts["events"]:
            if text.startswith(what):
                return t
        raise KeyError(what)

    def whens(self, what):
        return [t for t, text in self.facts["events"] if text.startswith(what)]

    def stderr(self, tag):
        return self.output(tag, "stderr")

    def output(self, tag, stream):
        with open(self.path(f"{tag}.{stream}"), "rb") as f:
            return f.read().decode("utf-8", "replace")

    def announced_port(self, device, tag="main", locale="C.UTF-8"):
        """Standard output, in the locale's language: first which device
        port 1 is, then only how late it answers, each time later than the
        time before. Returns those delays in ms (None when the lines are
        wrong)."""
        lines = self.output(tag, "stdout").splitlines()
        port_is, answers = words(locale)["port is"].format(device), words(locale)["answers within"]
        delays = [re.fullmatch(answers, line) for line in lines[1:]]
        ok = self.expect(lines[:1] == [port_is] and all(delays),
                         f"standard output names the port's device, '{port_is}', then at most "
                         f"how late the port answers, '{answers}' ({lines})")
        delays = [int(m[1]) for m in delays if m]
        ok = self.expect(ok and delays == sorted(set(delays)),
                         f"each delay named is longer than the one before ({delays})") and ok
        return delays if ok else None

    def modem_events(self, tag="main"):
        return read_modem_log(self.path(f"{tag}.modem.log"))

    def conversions(self, tag="main"):
        return conversions(self.modem_events(tag))

    def app_files(self):
        return app_folder_files(self.work, self.target)

    def cwd_files(self):
        d = self.path("cwd")
        return sorted(os.listdir(d)) if os.path.isdir(d) else []


# The time as the locale writes it: "14:03:07", or "2:03:07 PM" where the
# locale counts hours to twelve (US English under Wine).
ENTRY = re.compile(r"(-?\d+(?:[.,]\d+)?)    (\d?\d):(\d\d):(\d\d)(?: ([AP]M))?")


def seconds_of_day(m):
    hours = int(m[2])
    if m[5]:
        hours = hours % 12 + (12 if m[5] == "PM" else 0)
    return hours * 3600 + int(m[3]) * 60 + int(m[4])


def read_entries(c, name):
    """The saved list as (temperature text, seconds of day) pairs, after
    checking its form: UTF-8, every line ends in CR LF, each line is
    '<temperature>    <time>'. None when the form is wrong."""
    with open(c.path(os.path.join(PROGRAM_FOLDER, name)), "rb") as f:
        data = f.read()
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError:
        c.expect(False, f"{name} is UTF-8")
        return None
    if not c.expect(data == b"" or data.endswith(b"\r\n"), f"{name} ends with CR LF"):
        return None
    lines = text.split("\r\n")[:-1] if data else []
    if not c.expect(all("\n" not in l and "\r" not in l for l in lines),
                    f"{name}: every line ends in CR LF (no bare LF or CR)"):
        return None
    matches = [ENTRY.fullmatch(line) for line in lines]
    bad = [line for line, m in zip(lines, matches) if m is None]
    if not c.expect(not bad, f"{name}: each of the {len(lines)} lines is "
                             f"'<temperature>    <time>' ({bad[:3] or lines[:2]})"):
        return None
    return [(m[1], seconds_of_day(m)) for m in matches]


def saved_lines(c, name):
    with open(c.path(os.path.join(PROGRAM_FOLDER, name)), "rb") as f:
        return f.read().decode("utf-8", "replace").split("\r\n")[:-1]


def saved_entries(c, name):
    """read_entries, when the program saved `name` at all (the file list
    has been checked already); None otherwise."""
    if name not in c.app_files():
        return None
    return read_entries(c, name)


def check_times(c, entries):
    steps = [(b[1] - a[1]) % 86400 for a, b in zip(entries, entries[1:])]
    c.expect(all(0 <= s <= 2 for s in steps),
             f"times never go backwards and are at most 2 s apart (steps {steps})")


def check_run(c, entries, convs, earliest, latest, required_from, required_to):
    """The entries are the readings of consecutive conversions, one each,
    in order: none started before `earliest` or after `latest`, and every
    conversion between required_from and required_to is among them."""
    temps = [e[0] for e in entries]
    codes_desc = ", ".join(f"#{n}:{code}@{t:.2f}" for t, n, code in convs)
    matches = []
    for j in range(len(convs) - len(entries) + 1):
        run = convs[j:j + len(entries)]
        if [expected_temperature(code) for _, _, code in run] != temps:
            continue
        if run and (run[0][0] < earliest or run[-1][0] > latest):
            continue
        covered = {n for _, n, _ in run}
        required = {n for t, n, _ in convs if required_from < t < required_to}
        if required <= covered:
            matches.append(j)
    c.expect(bool(matches),
             f"the {len(entries)} entries {temps} are the readings of consecutive conversions "
             f"between {earliest:.2f} and {latest:.2f} s, including all of those between "
             f"{required_from:.2f} and {required_to:.2f} s (conversions: {codes_desc})")


def check_recorded_run(c, entries, convs, required_until):
    """check_run for a recording switched on with Check1: every reading
    from the click (once the program had time to act on it) until the
    event required_until is in the list (once its read had time to end),
    and nothing outside the run. A read begun just before the click ends
    after it, so its reading may be recorded too."""
    check_run(c, entries, convs, earliest=c.when("clicking Check1") - READING_DELAY,
              latest=c.when("main exited"),
              required_from=c.when("clicked Check1") + CLICK_GRACE,
              required_to=c.when(required_until) - READING_DELAY)


def second_of_day(c, t):
    """The local time of day, in whole seconds, at CLOCK_MONOTONIC t."""
    wall = t + c.facts["wall minus monotonic"]
    return (int(wall) + time.localtime(wall).tm_gmtoff) % 86400


def seconds_between(a, b):
    """From second of day a to b, across midnight either way."""
    return (b - a + 43200) % 86400 - 43200


def wrong_entries(c, entries, reads):
    """The entries that are not the temperature of the code presented to a
    read shown in the second the entry names (give or take one), each read
    taken once, in order; with the reads at their times. Where reads may
    be dropped, this is what ties each entry to its own read."""
    shown = [(second_of_day(c, r.shown_at), r) for r in reads if r.complete and r.code is not None]
    wrong, j = [], 0
    for temp, second in entries:
        k = next((k for k in range(j, len(shown))
                  if abs(seconds_between(second, shown[k][0])) <= 1
                  and expected_temperature(shown[k][1].code) == temp), None)
        if k is None:
            near = [(s, expected_temperature(r.code)) for s, r in shown
                    if abs(seconds_between(second, s)) <= 1]
            wrong.append((temp, second, near))
        else:
            j = k + 1
    return wrong


def check_recorded_steadily(c, entries, since, until, most_apart=10):
    """Readings were recorded all along: none of the gaps between the
    start, the entries and the end is longer than most_apart seconds."""
    ends = [second_of_day(c, since)] + [s for _, s in entries] + [second_of_day(c, until)]
    gaps = [seconds_between(a, b) for a, b in zip(ends, ends[1:])]
    c.expect(len(entries) > 0 and max(gaps) <= most_apart,
             f"{len(entries)} readings recorded in {until - since:.0f} s, never more than "
             f"{most_apart} s apart (longest gap {max(gaps)} s)")
