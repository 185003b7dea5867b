#!/usr/bin/env python3
"""The arm64 package's lumd, unpacked and run under qemu-aarch64-static (the arm64 libraries from
the multiarch installation), following the lumd demo's private MPD over TCP on a pty the test
reads: the title on the line, the next one after `mpc next`, the blank frame last at SIGTERM.
Prints each chunk the line got that differs from the one before it.

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
_loader = importlib.machinery.SourceFileLoader("demo", os.path.join(ROOT, "contrib", "lumd-demo"))
demo = importlib.util.module_from_spec(importlib.util.spec_from_loader("demo", _loader))
_loader.exec_module(demo)

WIDTH = 20  # the default display: plain frames of 2 x 20, the title on line 1, not scrolled


def shown_title(number):
    return ("%s - %s" % demo.TRACKS[number]).encode("cp1252")[:WIDTH]


def main():
    work = tempfile.mkdtemp(prefix="arm64-run.")
    subprocess.run(["dpkg-deb", "-x", sys.argv[1], work + "/root"], check=True)
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
    server, mpc_socket = demo.start_mpd(work, tcp_port=port)
    # The slave stays open here too: the master reads no hang-up before lumd opens it.
    master, slave = os.openpty()
    chunks, start, failures = [], time.monotonic(), 0

    def read_until(text, seconds):
        """Reads the line until what comes from now on holds `text`: the seconds, or None."""
        mark, deadline = len(b"".join(c for _, c in chunks)), time.monotonic() + seconds
        while text not in b"".join(c for _, c in chunks)[mark:]:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([master], [], [], left)[0]:
                return None
            chunks.append((time.monotonic() - start, os.read(master, 4096)))
        return round(seconds - (deadline - time.monotonic()), 3)

    def check(what, ok):
        nonlocal failures
        print(("ok   " if ok else "FAIL ") + what, flush=True)
        failures += 0 if ok else 1

    lumd = subprocess.Popen(["qemu-aarch64-static", "-L", "/", work + "/root/usr/bin/lumd",
                             "--foreground", "--mpd", "127.0.0.1:%d" % port,
                             "--port", os.ttyname(slave)], stdin=subprocess.PIPE,
                            stderr=open(work + "/lumd.log", "wb"))
    try:
        took = read_until(shown_title(0), 20)
        check("the playing title on the line (after %s s)" % took, took is not None)
        subprocess.run(["mpc", "-q", "-h", mpc_socket, "next"], check=True)
        took = read_until(shown_title(1), 3)
        check("the next title within 3 s of mpc next (%s s)" % took, took is not None)
        lumd.send_signal(signal.SIGTERM)
        check("exit code 0 after SIGTERM", lumd.wait(10) == 0)
        read_until(b"\0", 0.5)  # what is left on the line
        check("the blank frame last", b"".join(c for _, c in chunks).endswith(b" " * 2 * WIDTH))
    finally:
        demo.stop(lumd)
        demo.stop(server)
    for index, (at, chunk) in enumerate(chunks):
        if index == 0 or chunk != chunks[index - 1][1]:
            print("%7.3f %r" % (at, chunk))
    with open(work + "/lumd.log", "rb") as log:
        print(log.read().decode(errors="replace"), end="")
    shutil.rmtree(work)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
