#!/usr/bin/env python3
"""The README's run command, scripted and short: the demo runs the plug-in under Wine on the
virtual display. The display's byte log must show the start sequence, the banner, the playing
titles and the pause; its final text must be blank (the plug-in's quit clears it).

usage: demo_test.py
"""
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "scripts", "lib"))
from winehost import Checks  # noqa: E402


def logged_bytes(path):
    data = b""
    with open(path) as file:
        for line in file:
            data += bytes(int(value, 16) for value in line.split()[1:])
    return data


def main():
    checks = Checks()
    with tempfile.TemporaryDirectory() as artifacts:
        run = subprocess.run([sys.executable, os.path.join(ROOT, "scripts", "lib", "demo.py"),
                              "--artifacts", artifacts, "--screenshot", artifacts],
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=300)
        output = run.stdout.decode("latin-1")
        data = logged_bytes(os.path.join(artifacts, "display.log"))
        with open(os.path.join(artifacts, "display.txt"), "rb") as file:
            final = file.read()
        checks.check("demo: exit code 0", run.returncode == 0, output[-500:])
        checks.check("demo: the start sequence", data.startswith(b"\x14\r\n"), repr(data[:20]))
        checks.check("demo: the banner", b" Winamp  Lum Plugin  Code: the Lum team " in data)
        checks.check("demo: the first title, playing", b"Roboter" in data and b"PLAY " in data)
        checks.check("demo: the next title with its umlaut replaced", b"Aerzte" in data)
        checks.check("demo: paused", b"PAUSE" in data)
        checks.check("demo: quit leaves the display blank", final == (b" " * 20 + b"\n") * 2,
                     repr(final))
        for picture in ("display-playing.png", "display.png", "windows.png"):
            checks.check(f"demo: {picture} saved",
                         os.path.getsize(os.path.join(artifacts, picture)) > 0)
    print(f"demo: {checks.failures} failed")
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main())
