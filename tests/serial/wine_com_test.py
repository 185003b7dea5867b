#!/usr/bin/env python3
"""serialprobe.exe of a Windows build under Wine, on COM5, which the prefix's registry key
HKLM\\Software\\Wine\\Ports maps to a pty (through the prefix's link for COM5): the frames it
writes must arrive at the pty's master, and bytes written to the master must come back to it as
a received cluster.

usage: wine_com_test.py WIN64_BUILD_DIR
"""
import os
import select
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "scripts", "lib"))
from winehost import WINE, WineSession  # noqa: E402

PORT = 5
FRAMES = ["Hello VFD", "Zeile 2 \xe4\xf6\xfc"]
REPLY = b"ping"


def main():
    build = os.path.abspath(sys.argv[1])
    probe = os.path.join(build, "bin", "serialprobe.exe")
    master, slave = os.openpty()
    expected = b"".join(f.encode("latin-1") + b"\r\n" for f in FRAMES)
    received = b""
    with WineSession(build) as session:
        session.map_port(PORT, os.ttyname(slave))
        process = subprocess.Popen(
            [WINE, probe, f"COM{PORT}", "9600", "--receive", "10", *FRAMES],
            env=session.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 60
        replied = False
        while time.monotonic() < deadline and process.poll() is None:
            ready, _, _ = select.select([master], [], [], 0.2)
            if ready:
                try:
                    received += os.read(master, 4096)
                except OSError:
                    break
            if not replied and received == expected:
                os.write(master, REPLY)
                replied = True
        try:
            output = process.communicate(timeout=30)[0].decode("latin-1")
        except subprocess.TimeoutExpired:
            process.kill()
            output = process.communicate()[0].decode("latin-1")
        session.map_port(PORT, "/dev/null")
    os.close(master)
    os.close(slave)

    failures = 0
    checks = [
        ("the port opens", "open 1" in output),
        ("both frames are written", f"sent {len(FRAMES)}" in output),
        ("the frames arrive byte for byte", received == expected),
        ("received bytes come back as a cluster", "received ping" in output),
        ("the probe exits cleanly", process.returncode == 0 and "closed" in output),
    ]
    for what, ok in checks:
        print(("ok   " if ok else "FAIL ") + what)
        failures += 0 if ok else 1
    if failures:
        print("probe output:\n" + output)
        print("pty received: %r" % received)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
