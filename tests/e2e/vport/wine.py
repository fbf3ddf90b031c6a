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

from .common import PORT, REFUSED_STATUS, fail

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


def registry_ports(env, prefix):
    """HKLM\\Software\\Wine\\Ports, from the running server: system.reg is
    written only when the server gets round to it. {NAME: unix path}."""
    with tempfile.TemporaryFile("w+", errors="replace") as out:
        subprocess.run(["wine", "reg", "query", r"HKLM\Software\Wine\Ports"],
                       env=wine_env(env, prefix), stdin=subprocess.DEVNULL, stdout=out,
                       stderr=subprocess.DEVNULL)
        out.seek(0)
        text = out.read()
    ports = {}
    for line in text.splitlines():
        m = re.match(r"\s+(\S+)\s+REG_\w+\s*(.*)$", line)
        if m:
            ports[m.group(1).upper()] = m.group(2).strip()
    return ports


def verify_prefix(prefix, port, ports):
    """COM1 reaches the pseudo-terminal (or nothing, without a port), and no
    other DOS device name leads to a device. ports: registry_ports().
    Reads the links only, never what they lead to."""
    dosdevices = os.path.join(prefix, "dosdevices")
    for name in sorted(os.listdir(dosdevices)):
        path = os.path.join(dosdevices, name)
        if re.fullmatch(r"[a-z]::?", name):
            continue  # drives and their raw volumes: folders, not ports
        target = os.readlink(path) if os.path.islink(path) else "(not a link)"
        if not (port and name == "com1" and target == PORT):
            fail(REFUSED_STATUS, f"Wine's {name} leads to {target}; refusing")
    com1 = os.path.join(dosdevices, "com1")
    if port and not (os.path.islink(com1) and os.readlink(com1) == PORT):
        fail(REFUSED_STATUS, f"Wine did not map COM1 to {PORT}; refusing")
    for name, target in ports.items():
        if not (port and name == "COM1" and target == PORT):
            fail(REFUSED_STATUS, f"Wine's Ports key maps {name} to {target}; refusing")


def quiet_crashes(env, prefix):
    """A crash then ends the program at once, as a status a test sees,
    instead of waiting behind winedbg's dialog on a display nobody looks at."""
    subprocess.run(["wine", "reg", "add", r"HKCU\Software\Wine\WineDbg", "/v",
                    "ShowCrashDialog", "/t", "REG_DWORD", "/d", "0", "/f"],
                   env=wine_env(env, prefix), stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)


def make_prefix(env, port):
    """Makes and checks a prefix; returns its path. env: without the
    simulator, so the helpers Wine starts here stay out of its log."""
    prefix = tempfile.mkdtemp(prefix="vport-wine-")
    try:
        if os.path.exists(server_socket(prefix)):
            fail(REFUSED_STATUS, "a wineserver already serves the new prefix; refusing")
        # Output to a file, not a pipe: the server and services wineboot
        # leaves running would hold a pipe open until they end.
        with tempfile.TemporaryFile("w+") as out:
            status = subprocess.run(["wineboot", "--init"], env=wine_env(env, prefix),
                                    stdin=subprocess.DEVNULL, stdout=out, stderr=out).returncode
            if status != 0:
                out.seek(0)
                fail(REFUSED_STATUS, f"wineboot failed ({status}): {out.read().strip()}")
        # mountmgr maps the ports in a service of its own; give it a moment.
        deadline = time.monotonic() + SETTLE_SECONDS
        com1 = os.path.join(prefix, "dosdevices", "com1")
        while port and not os.path.islink(com1) and time.monotonic() < deadline:
            time.sleep(0.05)
        verify_prefix(prefix, port, registry_ports(env, prefix))
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


def stop_wine(prefix, env):
    """Ends the prefix's wineserver and every Wine process, then removes it."""
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
    shutil.rmtree(prefix, ignore_errors=True)
