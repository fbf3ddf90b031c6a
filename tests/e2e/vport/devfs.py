"""The private /dev and lock folders, built inside the new namespace, and
the pseudo-terminal bound over /dev/ttyS0 (or, with --com, the unscanned
name) once the old /dev is gone."""

import os
import stat
import tempfile

from harness.port import ALLOWED_NODES, PTY_SLAVE_MAJORS

from .common import REFUSED_STATUS, fail, run


def make_node(root, name):
    path = os.path.join(root, name)
    major, minor = ALLOWED_NODES[name]
    try:
        os.mknod(path, 0o666 | stat.S_IFCHR, os.makedev(major, minor))
        os.chmod(path, 0o666)
    except PermissionError:
        # No CAP_MKNOD (some containers): bind this one fixed node instead.
        open(path, "w").close()
        run("mount", "--bind", os.path.join("/dev", name), path)


def build_dev():
    staging = tempfile.mkdtemp(prefix="vport-dev-")
    try:
        run("mount", "-t", "tmpfs", "-o", "mode=0755,size=1m,nosuid,noexec", "vport-dev", staging)
        for name in ALLOWED_NODES:
            make_node(staging, name)
        for name, target in (("fd", "/proc/self/fd"), ("stdin", "/proc/self/fd/0"),
                             ("stdout", "/proc/self/fd/1"), ("stderr", "/proc/self/fd/2")):
            os.symlink(target, os.path.join(staging, name))
        pts = os.path.join(staging, "pts")
        os.mkdir(pts)
        try:
            run("mount", "-t", "devpts", "-o", "newinstance,ptmxmode=0666,mode=0620",
                "vport-pts", pts)
            os.symlink("pts/ptmx", os.path.join(staging, "ptmx"))
        except OSError:
            # Without a private instance the machine's ptys are visible,
            # which is harmless: they are pseudo-terminals too.
            run("mount", "--bind", "/dev/pts", pts)
            open(os.path.join(staging, "ptmx"), "w").close()
            run("mount", "--bind", "/dev/ptmx", os.path.join(staging, "ptmx"))
        shm = os.path.join(staging, "shm")
        os.mkdir(shm)
        run("mount", "-t", "tmpfs", "-o", "mode=1777,size=64m,nosuid,nodev", "vport-shm", shm)
        run("mount", "--move", staging, "/dev")
    finally:
        try:
            os.rmdir(staging)
        except OSError:
            pass

    run_lock = os.path.realpath("/run/lock")
    if os.path.isdir(run_lock):
        run("mount", "-t", "tmpfs", "-o", "mode=1777,size=1m", "vport-lock", run_lock)
    var_lock = os.path.realpath("/var/lock")
    if os.path.isdir(var_lock) and var_lock != run_lock:
        run("mount", "-t", "tmpfs", "-o", "mode=1777,size=1m", "vport-lock", var_lock)


def attach_port(path):
    master, slave = os.openpty()
    slave_path = os.ttyname(slave)
    st = os.fstat(slave)
    if not slave_path.startswith("/dev/pts/") or os.major(st.st_rdev) not in PTY_SLAVE_MAJORS:
        fail(REFUSED_STATUS, f"openpty gave {slave_path} ({os.major(st.st_rdev)}:"
                             f"{os.minor(st.st_rdev)}), not a pseudo-terminal slave")
    fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o600)  # a plain file on our tmpfs
    os.close(fd)
    run("mount", "--bind", slave_path, path)
    return master, slave, slave_path
