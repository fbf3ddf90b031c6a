"""Wine for the command (--wine): a prefix of its own for every run, made
only after /dev has passed its check, since Wine probes /dev/ttyS* while
it makes one and opens every port in wineserver. Nothing of Wine may
outlive the run: its server and services live in sessions of their own,
out of reach of the runner's process-group kill."""

import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

from .common import REFUSED_STATUS, fail

# Without these Wine offers to download Mono and Gecko while it makes the
# prefix; nothing under test needs either.
DLL_OVERRIDES = "mscoree,mshtml="
SETTLE_SECONDS = 10
# Where no prefix can ever be made: Wine gives up before it starts a server.
NO_WINE_PREFIX = "/proc/no-wine-without--wine"


def wine_env(env, prefix):
    env = dict(env)
    env["WINEPREFIX"] = prefix
    env.setdefault("WINEDEBUG", "-all")
    env.setdefault("WINEDLLOVERRIDES", DLL_OVERRIDES)
    return env


def server_socket(prefix):
    """Where a wineserver for this prefix listens (Wine keys it on the
    prefix's device and inode)."""
    st = os.stat(prefix)
    return os.path.join(tempfile.gettempdir(), f".wine-{os.getuid()}",
                        f"server-{st.st_dev:x}-{st.st_ino:x}", "socket")


PORTS_KEY = r"HKLM\Software\Wine\Ports"
SERIALCOMM_KEY = r"HKLM\HARDWARE\DEVICEMAP\SERIALCOMM"


def registry_values(env, prefix, key):
    """A key's string values from the running server ({NAME: data}, names
    upper-cased): system.reg is written only when the server gets round to
    it, and SERIALCOMM is never written at all."""
    with tempfile.TemporaryFile("w+", errors="replace") as out:
        subprocess.run(["wine", "reg", "query", key], env=wine_env(env, prefix),
                       stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.DEVNULL)
        out.seek(0)
        text = out.read()
    values = {}
    for line in text.splitlines():
        m = re.match(r"\s+(\S+)\s+REG_\w+\s*(.*)$", line)
        if m:
            values[m.group(1).upper()] = m.group(2).strip()
    return values


def verify_prefix(prefix, mapped, ports, serialcomm):
    """The prefix's serial ports are exactly `mapped` ({"com1": "/dev/ttyS0"},
    or {} without a port): no other DOS device name leads to a device, Wine's
    Ports key maps nothing else (ports: its values), and SERIALCOMM, which
    the program picks its port from, lists exactly those names (serialcomm:
    its values). Reads the links only, never what they lead to."""
    dosdevices = os.path.join(prefix, "dosdevices")
    for name in sorted(os.listdir(dosdevices)):
        path = os.path.join(dosdevices, name)
        if re.fullmatch(r"[a-z]::?", name):
            continue  # drives and their raw volumes: folders, not ports
        target = os.readlink(path) if os.path.islink(path) else "(not a link)"
        if mapped.get(name) != target:
            fail(REFUSED_STATUS, f"Wine's {name} leads to {target}; refusing")
    for name, device in mapped.items():
        link = os.path.join(dosdevices, name)
        if not (os.path.islink(link) and os.readlink(link) == device):
            fail(REFUSED_STATUS, f"Wine did not map {name.upper()} to {device}; refusing")
    wanted = {name.upper(): device for name, device in mapped.items()}
    for name, target in ports.items():
        if wanted.get(name) != target:
            fail(REFUSED_STATUS, f"Wine's Ports key maps {name} to {target}; refusing")
    listed = sorted(v.upper() for v in serialcomm.values())
    if listed != sorted(wanted):
        fail(REFUSED_STATUS, f"SERIALCOMM lists {listed or 'nothing'}, not {sorted(wanted)}; "
                             f"refusing")


def quiet_crashes(env, prefix):
    """A crash then ends the program at once, as a status a test sees,
    instead of waiting behind winedbg's dialog on a display nobody looks at."""
    subprocess.run(["wine", "reg", "add", r"HKCU\Software\Wine\WineDbg", "/v",
                    "ShowCrashDialog", "/t", "REG_DWORD", "/d", "0", "/f"],
                   env=wine_env(env, prefix), stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)


def wineboot(env, prefix, *args):
    # Output to a file, not a pipe: the server and services wineboot
    # leaves running would hold a pipe open until they end.
    with tempfile.TemporaryFile("w+") as out:
        status = subprocess.run(["wineboot", *args], env=wine_env(env, prefix),
                                stdin=subprocess.DEVNULL, stdout=out, stderr=out).returncode
        if status != 0:
            out.seek(0)
            fail(REFUSED_STATUS, f"wineboot failed ({status}): {out.read().strip()}")


def map_only(env, prefix, com, device):
    """Maps `com` alone to `device` in Wine's Ports key, then starts the
    prefix afresh: mountmgr reads the key only when its services start."""
    subprocess.run(["wine", "reg", "add", PORTS_KEY, "/v", com, "/t", "REG_SZ", "/d", device,
                    "/f"], env=wine_env(env, prefix), stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    end_server(prefix, env)
    wineboot(env, prefix)


def make_prefix(env, mapped, com=None):
    """Makes and checks a prefix; returns its path. mapped: the one port
    name the prefix is to have, and its device ({} for none); com: map that
    name through Wine's Ports key rather than Wine's own scan of /dev.
    env: without the simulator, so the helpers Wine starts here stay out of
    its log."""
    prefix = tempfile.mkdtemp(prefix="vport-wine-")
    try:
        if os.path.exists(server_socket(prefix)):
            fail(REFUSED_STATUS, "a wineserver already serves the new prefix; refusing")
        wineboot(env, prefix, "--init")
        if com:
            map_only(env, prefix, com, mapped[com.lower()])
        # mountmgr maps the ports in a service of its own; give it a moment.
        deadline = time.monotonic() + SETTLE_SECONDS
        links = [os.path.join(prefix, "dosdevices", name) for name in mapped]
        while not all(map(os.path.islink, links)) and time.monotonic() < deadline:
            time.sleep(0.05)
        verify_prefix(prefix, mapped, registry_values(env, prefix, PORTS_KEY),
                      registry_values(env, prefix, SERIALCOMM_KEY))
        quiet_crashes(env, prefix)
    except BaseException:
        stop_wine(prefix, env)
        raise
    return prefix


def ancestors():
    pids, pid = set(), os.getpid()
    while pid > 1:
        pids.add(pid)
        with open(f"/proc/{pid}/stat") as f:
            pid = int(f.read().rsplit(")", 1)[1].split()[1])
    return pids


def namespace_processes():
    """Every process left in this mount namespace but the runner (and what
    started it): the rest descend from it, since the namespace was made for
    this run, even where Wine's daemons have left the family tree."""
    mine = os.readlink("/proc/self/ns/mnt")
    keep = ancestors()
    pids = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) in keep:
            continue
        try:
            if os.readlink(f"/proc/{entry}/ns/mnt") == mine:
                pids.append(int(entry))
        except OSError:
            pass  # gone, or a zombie
    return pids


def end_server(prefix, env):
    """Ends the prefix's wineserver and every Wine process, keeping the prefix."""
    wenv = wine_env(env, prefix)
    for args in (["wineserver", "-k"], ["wineserver", "-w"]):
        try:
            subprocess.run(args, env=wenv, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=SETTLE_SECONDS)
        except subprocess.TimeoutExpired:
            pass
    # Processes the server had not yet heard of, such as a wine loader that
    # was still starting up, go by their own PID.
    deadline = time.monotonic() + SETTLE_SECONDS
    while (left := namespace_processes()) and time.monotonic() < deadline:
        time.sleep(0.1)
    for pid in left:
        try:
            os.kill(pid, signal.SIGKILL)
        except ProcessLookupError:
            pass


def stop_wine(prefix, env):
    """Ends the prefix's wineserver and every Wine process, then removes it."""
    end_server(prefix, env)
    shutil.rmtree(prefix, ignore_errors=True)
