#!/usr/bin/env python3
"""serialprobe.exe of a Windows build under Wine, on COM5 mapped to a pty through the registry
key HKLM\\Software\\Wine\\Ports: the frames it writes must arrive at the pty's master, and bytes
written to the master must come back to it as a received cluster.

usage: wine_com_test.py WIN64_BUILD_DIR
"""
import os
import select
import subprocess
import sys
import time

WINE = "/usr/lib/wine/wine64"
PORT = "COM5"
FRAMES = ["Hello VFD", "Zeile 2 \xe4\xf6\xfc"]
REPLY = b"ping"


def main():
    build = os.path.abspath(sys.argv[1])
    probe = os.path.join(build, "bin", "serialprobe.exe")
    env = dict(os.environ,
               WINEPREFIX=os.path.join(build, "serial-wineprefix"),
               WINEDEBUG="-all",
               WINEDLLOVERRIDES="mscoree,mshtml=")

    def wine(*args, **kwargs):
        return subprocess.run(["xvfb-run", "-a", WINE, *args], env=env,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=120, **kwargs)

    master, slave = os.openpty()
    slave_path = os.ttyname(slave)
    if not os.path.isdir(env["WINEPREFIX"]):
        wine("wineboot", "-i")
    key = "HKLM\\Software\\Wine\\Ports"
    wine("reg", "add", key, "/v", PORT, "/d", slave_path, "/f", check=True)
    # The mapping is read when Wine starts.
    subprocess.run(["wineserver", "-k"], env=env, check=False)

    expected = b"".join(f.encode("latin-1") + b"\r\n" for f in FRAMES)
    process = subprocess.Popen(
        ["xvfb-run", "-a", WINE, probe, PORT, "9600", "--receive", "10", *FRAMES],
        env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    received = b""
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

    wine("reg", "delete", key, "/v", PORT, "/f")
    subprocess.run(["wineserver", "-k"], env=env, check=False)
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
