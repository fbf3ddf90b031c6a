"""Scenarios of thermometer-chart: it follows the demo's journal while the
demo records, and its CSV export is what "Выход" then saves; saved logs
written under other locales open; and the pictures of a day's curve.

The chart and the demo never open a port: these run without one (/dev/ttyS0
absent from the namespace). The chart is worked as a person would: its
menu's keys, and its file dialog (Qt's own on Linux, Windows' under Wine),
into whose name field the file's path is typed."""

import math
import os
import random
import time

from .checks import ENTRY, saved_lines, seconds_of_day
from .common import CLICK_GRACE, PROGRAM_FOLDER, Scenario, now

CHART_TITLE = {"en": "Thermometer chart", "ru": "График температуры"}
EXPORT_TITLE = "Export the readings in view"
DEMO = "thermometer-demo"
CHART = "thermometer-chart"


def program(d, name):
    """A program beside the thermometer: thermometer-chart(.exe)."""
    return os.path.join(d.work, PROGRAM_FOLDER, name + d.target.exe_suffix)


def chart_title(name=None, language="en"):
    return f"{name} — {CHART_TITLE[language]}" if name else CHART_TITLE[language]


def journal_entries(path):
    """The readings a journal holds now; [] when there is none."""
    if not os.path.exists(path):
        return []
    with open(path, encoding="utf-8", errors="replace") as f:
        return [line.rstrip("\n") for line in f if line[:1] != "#" and line.endswith("\n")]


def bring_forward(d, wid):
    """Under a window manager (Wine's), the window raised and active: Wine
    sends keys to the window it takes for active, not merely to the one
    with the X server's focus, and the chart and the demo overlap."""
    if d.target.window_manager:
        d.xdo("windowactivate", "--sync", wid, check=False)


def export_csv(d, p, wid, path):
    """Ctrl+E in the chart, the path typed into the dialog, Return; waits
    for the file."""
    bring_forward(d, wid)
    if not d.focus(wid):
        raise RuntimeError(f"{p.tag}: the chart never had the keyboard focus")
    d.xdo("key", "--clearmodifiers", "ctrl+e")
    dialog = p.wait_window(EXPORT_TITLE, timeout=10)
    if dialog is None or not d.focus(dialog):
        raise RuntimeError(f"{p.tag}: no export dialog")
    # The suggested name replaced: selected from its end to its start,
    # which every toolkit's name field takes.
    d.xdo("key", "--clearmodifiers", "End", "shift+Home")
    d.xdo("type", "--delay", "10", d.target.path_text(path))
    d.event(f"{p.tag}: exporting {os.path.basename(path)}")
    d.xdo("key", "Return")
    end = now() + 10
    while not os.path.exists(path) and now() < end:
        time.sleep(0.05)
    if not os.path.exists(path):
        d.screenshot(f"{p.tag}-export-failed.png")
        raise RuntimeError(f"{p.tag}: {path} was not written")
    d.event(f"{p.tag}: exported {os.path.basename(path)}")


def close_chart(d, p, wid):
    d.focus(wid)
    d.xdo("key", "--clearmodifiers", "ctrl+q")
    p.wait_exit()


def csv_rows(c, name):
    path = c.path(name)
    if not c.expect(os.path.exists(path), f"{name} was written"):
        return None
    with open(path, "rb") as f:
        text = f.read().decode("utf-8")
    c.expect(text.endswith("\r\n") and "\n" not in text.replace("\r\n", ""), f"{name} has CR LF lines")
    return text.split("\r\n")[:-1]


# ------------------------------------------------------------------ the demo

def drive_follows_demo(d):
    journal = os.path.join(d.work, PROGRAM_FOLDER, DEMO + ".journal")
    chart = d.launch("chart", program=program(d, CHART))
    cw = chart.wait_window(chart_title())
    if cw is None:
        raise RuntimeError("the chart's window did not appear")
    d.screenshot("chart-nothing.png", cw)
    demo = d.launch("main", program=program(d, DEMO))
    w = demo.form()
    d.note("date", time.strftime("%Y-%m-%d"))
    bring_forward(d, w)
    d.click_check1(w)
    end = now() + 30
    while len(journal_entries(journal)) < 6 and now() < end:
        time.sleep(0.1)
    # While it records: what the chart exports lags the journal by two seconds at most.
    d.note("journal before the first export", len(journal_entries(journal)))
    cw = chart.wait_window(chart_title(DEMO + ".journal"))
    if cw is None:
        raise RuntimeError("the chart does not show the demo's journal")
    export_csv(d, chart, cw, d.path("recording.csv"))
    bring_forward(d, w)
    d.click_check1(w)  # paused: the journal stops growing
    time.sleep(CLICK_GRACE + 2.5)
    d.screenshot("chart-recording.png", cw)
    d.note("journal at the export", journal_entries(journal))
    export_csv(d, chart, cw, d.path("paused.csv"))
    bring_forward(d, w)
    d.click_command1(w)
    demo.wait_exit()
    d.note("journal after Выход", os.path.exists(journal))
    time.sleep(2.5)
    d.screenshot("chart-ended.png", cw)
    export_csv(d, chart, cw, d.path("ended.csv"))
    close_chart(d, chart, cw)


def reading_of_entry(line):
    """A saved line as (degrees, second of the day), whatever clock the
    locale wrote it with; None where it is not a reading."""
    m = ENTRY.fullmatch(line)
    return (m[1], seconds_of_day(m)) if m else None


def reading_of_row(row):
    """A CSV row "YYYY-MM-DD hh:mm:ss,degrees" likewise."""
    when, degrees = row.split(",")
    h, m, s = map(int, when[11:].split(":"))
    return (degrees, h * 3600 + m * 60 + s)


def check_follows_demo(c):
    c.ended_normally("the demo ended with status 0")
    c.ended_normally("the chart ended with status 0", "chart")
    c.expect(c.facts.get("journal after Выход") is False, "\"Выход\" deleted the journal")
    saved_file = c.path(os.path.join(PROGRAM_FOLDER, "database.txt"))
    saved = saved_lines(c, "database.txt") if os.path.exists(saved_file) else None
    c.expect(saved is not None, "\"Выход\" saved database.txt")
    paused = csv_rows(c, "paused.csv")
    if saved is None or paused is None:
        return
    date = c.facts.get("date", "")
    exported = [reading_of_row(row) for row in paused[1:]]
    c.expect(paused[0] == "time,temperature" and all(r[:10] >= date for r in paused[1:]),
             f"the readings are dated, from {date} ({paused[:2]})")
    c.expect(len(saved) >= 6 and exported == [reading_of_entry(line) for line in saved],
             f"the export after the pause holds what \"Выход\" saved ({len(exported)} / {len(saved)} "
             f"readings; {exported[:2]} / {saved[:2]})")
    recording = csv_rows(c, "recording.csv") or []
    before = c.facts.get("journal before the first export", 0)
    c.expect(len(recording) - 1 >= before - 2 and recording[1:] == paused[1:len(recording)],
             f"while recording, the chart had all but the last two seconds' readings "
             f"({len(recording) - 1} exported, {before} in the journal just before)")
    c.expect(csv_rows(c, "ended.csv") == paused,
             "once the journal is gone the chart keeps what it read (ended.csv is paused.csv)")


# ------------------------------------------------------------------ other locales

# A recording across noon and midnight: (degrees, hour, minute, second).
ACROSS = [(21, 11, 59, 58), (21, 11, 59, 59), (22, 12, 0, 0), (22, 12, 0, 1),
          (19, 23, 59, 59), (-3, 0, 0, 0), (-3, 0, 0, 1)]


def twelve(hour):
    return hour % 12 or 12


# Saved logs as the thermometer writes them under these locales (glibc's
# %X; the Korean one also in code page 949, and under Wine as Korean
# Windows writes its times, "오후 2:03:07", in code page 949).
FOREIGN = {
    "korean.txt": ("utf-8", lambda h, m, s: f"{h:02d}시 {m:02d}분 {s:02d}초"),
    "korean-cp949.txt": ("cp949", lambda h, m, s: f"{h:02d}시 {m:02d}분 {s:02d}초"),
    # Named in Arabic, which no ANSI code page of a Korean or Western
    # Windows holds: the name reaches the chart only on the wide command line.
    "عربي.txt": ("utf-8", lambda h, m, s: f"UTC {twelve(h):02d}:{m:02d}:{s:02d} {'ص' if h < 12 else 'م'}"),
    "us.txt": ("utf-8", lambda h, m, s: f"{twelve(h):02d}:{m:02d}:{s:02d} {'AM' if h < 12 else 'PM'}"),
}
# From noon on: read in the wrong code page its markers would be unknown,
# and the first one guessed to be the morning's.
KOREAN_WINDOWS = {
    "korean-windows.txt": ("cp949", lambda h, m, s: f"{'오전' if h < 12 else '오후'} {twelve(h)}:{m:02d}:{s:02d}",
                           ACROSS[2:]),
}
# Under Wine the chart runs as on a Korean Windows, whose ANSI code page,
# 949, is what its saved logs are in.
WINE_FOREIGN_LOCALE = "ko_KR.UTF-8"


def foreign_logs(target):
    return {**FOREIGN, **KOREAN_WINDOWS} if target.exe_suffix else FOREIGN


def prepare_foreign(work):
    for name, (encoding, time_text, *rows) in {**FOREIGN, **KOREAN_WINDOWS}.items():
        with open(os.path.join(work, name), "wb") as f:
            for degrees, h, m, s in (rows[0] if rows else ACROSS):
                f.write(f"{degrees}    {time_text(h, m, s)}\r\n".encode(encoding))


def exported(index):
    """The CSV of the index-th log: typed into the dialog, so in ASCII."""
    return f"foreign-{index}.csv"


def drive_foreign(d):
    locale = WINE_FOREIGN_LOCALE if d.target.exe_suffix else None
    for index, name in enumerate(foreign_logs(d.target)):
        p = d.launch(name, locale, program=program(d, CHART), args=[d.target.path_text(d.path(name))])
        w = p.wait_window(chart_title(name))
        if w is None:
            raise RuntimeError(f"the chart did not open {name}")
        d.screenshot(name + ".png", w)
        export_csv(d, p, w, d.path(exported(index)))
        close_chart(d, p, w)


def check_foreign(c):
    for index, (name, (_, _, *written)) in enumerate(foreign_logs(c.target).items()):
        want = ["day,time,temperature"] + [f"{1 if h else 2},{h:02d}:{m:02d}:{s:02d},{t}"
                                           for t, h, m, s in (written[0] if written else ACROSS)]
        rows = csv_rows(c, exported(index))
        c.expect(rows == want, f"{name} reads as written, across noon and midnight ({rows})")
        c.ended_normally(f"the chart of {name} ended with status 0", name)


# ------------------------------------------------------------------ pictures

def prepare_day(work):
    """A day's recording in a journal, from 08:00 to 08:00, with an hour
    and a quarter not recorded after one in the afternoon, a window
    opened at half past seven in the evening, and midnight."""
    lines = ["# thermometer journal: recording since 2026-12-09 08:00:00"]
    noise = random.Random(22)  # a sensor's jitter: whole degrees flicker where they meet
    seconds = 8 * 3600
    while seconds < 32 * 3600:
        if seconds == 13 * 3600 + 600:
            seconds = 14 * 3600 + 1500
            lines.append("# thermometer journal: recording resumed 2026-12-09 14:25:00")
        if seconds == 24 * 3600:
            lines.append("# thermometer journal: new day 2026-12-10 00:00:00")
        hours = seconds / 3600
        # Warmest in the early afternoon, coolest before dawn.
        degrees = 21 + 3.2 * math.sin((hours - 9) / 24 * 2 * math.pi) + noise.gauss(0, 0.08)
        if 19.5 <= hours < 19.7:
            degrees -= 5 * (1 - abs(hours - 19.6) / 0.1)
        tod = seconds % 86400
        lines.append(f"{round(degrees)}    {tod // 3600:02d}:{tod // 60 % 60:02d}:{tod % 60:02d}")
        seconds += 1
    with open(os.path.join(work, "thermometer.journal"), "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


# (picture, locale, language, dots per inch)
PICTURES = [("chart-en", "C.UTF-8", "en", 96), ("chart-ru", "ru_RU.UTF-8", "ru", 96)]
WINE_PICTURES = [("chart-windows-en", "C.UTF-8", "en", 96), ("chart-windows-ru", "ru_RU.UTF-8", "ru", 96),
                 ("chart-windows-144dpi", "C.UTF-8", "en", 144)]


def pictures(target):
    return WINE_PICTURES if target.exe_suffix else PICTURES


def drive_pictures(d):
    for tag, locale, language, dpi in pictures(d.target):
        d.set_dpi(dpi)
        p = d.launch(tag, locale, program=program(d, CHART),
                     args=[d.target.path_text(d.path("thermometer.journal"))])
        w = p.wait_window(chart_title("thermometer.journal", language))
        if w is None:
            raise RuntimeError(f"{tag}: the chart did not open the journal")
        time.sleep(1)
        d.focus(w)
        d.screenshot(tag + ".png", w, frame=True)
        close_chart(d, p, w)


def check_pictures(c):
    for tag, _, _, _ in pictures(c.target):
        c.expect(os.path.exists(c.path(tag + ".png")), f"{tag}.png was taken")
        c.ended_normally(f"{tag}: closed normally", tag)
    print("pictures in " + c.work, flush=True)


SCENARIOS = {
    "chart_follows_demo": Scenario(["--no-port"], drive_follows_demo, check_follows_demo,
                                   screen="1024x720"),
    "chart_foreign_logs": Scenario(["--no-port"], drive_foreign, check_foreign, prepare_foreign,
                                   screen="1024x720"),
    "chart_pictures": Scenario(["--no-port"], drive_pictures, check_pictures, prepare_day, framed=True,
                               screen="1600x1100"),
}
