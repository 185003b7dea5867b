#!/usr/bin/env python3
"""The README's run command, scripted and short: scripts/demo builds what is missing (one line
per step, the output in build/logs) and runs the plug-in under Wine on the virtual display. The
display's byte log must show the start sequence, the banner, the playing titles and the pause;
its final text must be blank (the plug-in's quit clears it). With standard output not a
terminal, the demo prints each new display state as lines with the time, and the commands and
the host's events as they come.

Then "demo.py -i" with commands on a pipe: the host's events and errors come as they happen
(the answer to "echo" before the next command is typed), after a hint about the dialog.
A scripted run counts its times from the host's start.

usage: demo_test.py
"""
import os
import re
import select
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "scripts", "lib"))
from winehost import Checks, WineSession  # noqa: E402

STEPS = ["install-deps", "build win64", "build lumctl and vfd"]
STATE = re.compile(r" *\d+\.\d s  \|(.{20})\|\n {10}\|(.{20})\|$", re.M)


def logged_bytes(path):
    data = b""
    with open(path) as file:
        for line in file:
            data += bytes(int(value, 16) for value in line.split()[1:])
    return data


def scripted(checks, env):
    with tempfile.TemporaryDirectory() as artifacts:
        run = subprocess.run([os.path.join(ROOT, "scripts", "demo"), "--artifacts", artifacts,
                              "--screenshot", artifacts], env=env, stdin=subprocess.DEVNULL,
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=900)
        output = run.stdout.decode("utf-8", "replace")
        data = logged_bytes(os.path.join(artifacts, "display.log"))
        with open(os.path.join(artifacts, "display.txt"), "rb") as file:
            final = file.read()
        checks.check("demo: exit code 0", run.returncode == 0, output[-500:])
        lines = output.splitlines()
        checks.check("demo: a line with the time for each step, logs in build/logs",
                     all(any(re.fullmatch(re.escape(s) + r" +ok +\d+s .*", l) for l in lines)
                         for s in STEPS) and
                     os.path.exists(os.path.join(ROOT, "build", "logs", "demo-win64.log")),
                     lines[:4])
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
    states = STATE.findall(output)
    checks.check("demo: each new display state printed with its time",
                 (" Winamp  Lum Plugin ", " Code: the Lum team ") in states and
                 any(row.startswith("PAUSE") for _, row in states) and
                 states[-1] == (" " * 20, " " * 20) and
                 all(a != b for a, b in zip(states, states[1:])), states[-3:])
    events = [m.group(1) for m in map(re.compile(r" *\d+\.\d s  ([^|].*)").fullmatch, lines)
              if m]
    checks.check("demo: the commands and the host's events as lines with the time",
                 events[0].startswith("host: loaded ") and events[1] == "> play" and
                 events[-2:] == ["> quit", "host: exit"], events)


def interactive(checks, env):
    demo = subprocess.Popen([sys.executable, os.path.join(ROOT, "scripts", "lib", "demo.py"),
                             "-i"], env=env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT)
    output = b""

    def wait_for(text, seconds):
        nonlocal output
        deadline = time.monotonic() + seconds
        while text not in output and time.monotonic() < deadline:
            if select.select([demo.stdout], [], [], 0.1)[0]:
                output += os.read(demo.stdout.fileno(), 4096)
        return text in output

    def send(command):
        demo.stdin.write(command.encode() + b"\n")
        demo.stdin.flush()

    try:
        checks.check("demo -i: the host starts", wait_for(b"host: loaded", 60), output[-300:])
        checks.check("demo -i: a hint where config opens the dialog", wait_for(
            b"config opens the plug-in's dialog on no display you can see", 10))
        send("echo mark")
        checks.check("demo -i: an event as it happens", wait_for(b"host: echo mark", 10))
        send("seek x")
        checks.check("demo -i: an error as it happens",
                     wait_for(b"host error: lumhost: bad argument: seek x", 10))
        send("quit")
        checks.check("demo -i: quit ends it", demo.wait(timeout=60) == 0)
    finally:
        if demo.poll() is None:
            demo.kill()
            demo.wait()


def main():
    checks = Checks()
    with WineSession(os.path.join(ROOT, "build", "win64")) as session:
        scripted(checks, session.env)
        interactive(checks, session.env)
    print(f"demo: {checks.failures} failed")
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main())
