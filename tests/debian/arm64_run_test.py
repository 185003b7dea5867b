#!/usr/bin/env python3
"""The arm64 package's lumd at work on this (x86-64) machine: unpacked from the .deb and run
under qemu-aarch64-static with the arm64 libraries of the multiarch installation, it follows a
private (x86-64) MPD over TCP and drives a pty the test reads: the playing title on the line, the
next one after `mpc next`, the blank frame last after SIGTERM. Prints each chunk the line got
that differs from the one before.

  tests/debian/arm64_run_test.py build/package/lumd_VERSION_arm64.deb
"""
import importlib.machinery
import importlib.util
import os
import select
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
# The private MPD and its music are the lumd demo's.
_loader = importlib.machinery.SourceFileLoader("lumd_demo", os.path.join(ROOT, "contrib",
                                                                         "lumd-demo"))
demo = importlib.util.module_from_spec(importlib.util.spec_from_loader("lumd_demo", _loader))
_loader.exec_module(demo)

# The start values' display: plain frames of 2 x 20, the title on line 1, not scrolled.
WIDTH = 20
BLANK = b" " * 2 * WIDTH


def shown_title(number):
    """What line 1 shows of the demo's track `number` (from 0)."""
    return ("%s - %s" % demo.TRACKS[number]).encode("cp1252")[:WIDTH]


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class Line:
    """The master side of the display's pty: what lumd wrote, chunk by chunk with its time."""

    def __init__(self):
        # The slave stays open here too, so that the master reads no hang-up before lumd opens it.
        self.master, self.slave = os.openpty()
        self.path = os.ttyname(self.slave)
        self.chunks, self.start = [], time.monotonic()

    def data(self):
        return b"".join(chunk for _, chunk in self.chunks)

    def wait_for(self, text, seconds):
        """Reads until the bytes since now hold `text`; returns the seconds it took, or None."""
        mark, deadline = len(self.data()), time.monotonic() + seconds
        while text not in self.data()[mark:]:
            if not self.read(deadline - time.monotonic()):
                return None
        return time.monotonic() - (deadline - seconds)

    def read(self, seconds):
        if seconds <= 0 or not select.select([self.master], [], [], seconds)[0]:
            return False
        self.chunks.append((time.monotonic() - self.start, os.read(self.master, 4096)))
        return True


def main():
    work = tempfile.mkdtemp(prefix="arm64-run.")
    subprocess.run(["dpkg-deb", "-x", sys.argv[1], os.path.join(work, "root")], check=True)
    lumd_path = os.path.join(work, "root", "usr", "bin", "lumd")
    port = free_port()
    server, mpc_socket = demo.start_mpd(work, tcp_port=port)
    line = Line()
    failures = 0

    def check(what, ok):
        nonlocal failures
        print(("ok   " if ok else "FAIL ") + what, flush=True)
        failures += 0 if ok else 1

    # The :arm64 libraries live in the host's multiarch folders: the emulator's root is "/".
    lumd = subprocess.Popen(["qemu-aarch64-static", "-L", "/", lumd_path, "--foreground",
                             "--mpd", "127.0.0.1:%d" % port, "--port", line.path],
                            stdin=subprocess.PIPE, stderr=open(os.path.join(work, "lumd.log"), "wb"))
    try:
        took = line.wait_for(shown_title(0), 20)
        check("the playing title on the line (after %s s)" % took, took is not None)
        subprocess.run(["mpc", "-q", "-h", mpc_socket, "next"], check=True)
        took = line.wait_for(shown_title(1), 3)
        check("the next title within 3 s of mpc next (%s s)" % took, took is not None)
        lumd.send_signal(signal.SIGTERM)
        code = lumd.wait(10)
        while line.read(0.5):
            pass
        check("exit code 0 after SIGTERM (%s)" % code, code == 0)
        check("the blank frame last", line.data().endswith(BLANK))
    finally:
        demo.stop(lumd)
        demo.stop(server)
    shown = b""
    for at, chunk in line.chunks:
        if chunk != shown:
            print("%7.3f %r" % (at, chunk))
        shown = chunk
    with open(os.path.join(work, "lumd.log"), "rb") as log:
        print(log.read().decode(errors="replace"), end="")
    shutil.rmtree(work)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
