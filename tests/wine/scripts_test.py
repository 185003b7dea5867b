#!/usr/bin/env python3
"""The hand-run scripts under Wine.

- scripts/lumhost --com1 and scripts/demo --port take only a character device (a tty or pty) or
  a symbolic link to one: a regular file, a folder or a missing path is refused with exit code 2
  and a message, before anything starts, and a file keeps its content.
- scripts/lumhost on a pty, ended by Ctrl-C (SIGINT to its process group), SIGTERM or SIGHUP:
  the host quits (the display's last bytes are the blank frame), the script exits with 128 + the
  signal's number, and nothing it started is left: no process, no temporary folder of the
  virtual X server.

Runs outside any Wine session (each run of the script starts its own); the settings file of
build/win64 is set to a lit display for the runs and put back afterwards.

usage: scripts_test.py
"""
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "scripts", "lib"))
from winehost import Checks, PtyLine, write_settings  # noqa: E402

LUMHOST = os.path.join(ROOT, "scripts", "lumhost")
DEMO = os.path.join(ROOT, "scripts", "demo")
SETTINGS = os.path.join(ROOT, "build", "win64", "bin", "plugins", "gen_lum.ini")
BLANK = b" " * 40
CONTENT = b"not a display\n"

# Refused targets: (script, its option for the display's device, what the path is).
REFUSED = [
    (LUMHOST, "--com1", "file"),
    (LUMHOST, "--com1", "missing"),
    (DEMO, "--port", "file"),
    (DEMO, "--port", "folder"),
]
# How each signal reaches the script: Ctrl-C and a closed terminal reach the whole foreground
# process group, kill reaches the process.
SIGNALS = [(signal.SIGINT, True), (signal.SIGTERM, False), (signal.SIGHUP, True)]


def clean_env():
    """The environment without any Wine session or X display, so the script starts its own."""
    return {k: v for k, v in os.environ.items()
            if k not in ("DISPLAY", "XAUTHORITY", "LUM_WINESESSION", "LUM_XSESSION")}


def refused(checks, work):
    playlist = os.path.join(ROOT, "demo", "playlist.m3u")
    for script, option, kind in REFUSED:
        path = os.path.join(work, f"target-{kind}")
        if kind == "file":
            with open(path, "wb") as file:
                file.write(CONTENT)
        elif kind == "folder":
            os.mkdir(path)
        # Were the path taken, the host would have 3 s to open it and write to it.
        run = subprocess.run([script, option, path] + ([playlist] if script == LUMHOST else []),
                             input=b"sleep 3000\nquit\n", stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE, env=clean_env(), timeout=600)
        name = f"{os.path.basename(script)} {option} a {kind}"
        err = run.stderr.decode("latin-1")
        checks.check(f"{name}: exit code 2", run.returncode == 2, run.returncode)
        checks.check(f"{name}: says it is no serial device",
                     "not a serial device" in err or "give a serial device" in err, err[-300:])
        if kind == "file":
            with open(path, "rb") as file:
                checks.check(f"{name}: the file keeps its content", file.read() == CONTENT)


def descendants(pid):
    """The process ids below `pid`."""
    children = {}
    for entry in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{entry}/stat") as file:
                parent = int(file.read().rsplit(")", 1)[1].split()[1])
        except (OSError, ValueError, IndexError):
            continue
        children.setdefault(parent, []).append(int(entry))
    found, todo = [], [pid]
    while todo:
        for child in children.get(todo.pop(), []):
            found.append(child)
            todo.append(child)
    return found


def x_folders(pids):
    """The temporary folders of the X servers among `pids` (the folder of their -auth file)."""
    folders = []
    for pid in pids:
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as file:
                words = file.read().split(b"\0")
        except OSError:
            continue
        if words[0].endswith(b"Xvfb") and b"-auth" in words:
            folders.append(os.path.dirname(words[words.index(b"-auth") + 1].decode()))
    return folders


def alive(pid):
    try:
        with open(f"/proc/{pid}/stat") as file:
            return file.read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False


def ended_by_signal(checks, number, to_group):
    name = f"scripts/lumhost, {signal.Signals(number).name}"
    line = PtyLine()
    received = b""
    script = subprocess.Popen([LUMHOST, "--com1", line.path, os.path.join(ROOT, "demo",
                                                                          "playlist.m3u")],
                              stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, env=clean_env(), start_new_session=True)
    try:
        # Waits for the host, then for the start sequence and a frame on the line.
        loaded = script.stdout.readline().startswith(b"loaded ")
        deadline = time.monotonic() + 20
        while loaded and time.monotonic() < deadline and len(received) < 3 + 40:
            if select.select([line.master], [], [], 0.1)[0]:
                received += os.read(line.master, 4096)
        started = descendants(script.pid)
        folders = x_folders(started)
        checks.check(f"{name}: the display runs", received.startswith(b"\x14\r\n") and
                     len(received) >= 43, repr(received[:20]))
        if to_group:
            os.killpg(script.pid, number)
        else:
            script.send_signal(number)
        try:
            code = script.wait(timeout=60)
        except subprocess.TimeoutExpired:
            code = None
        end = time.monotonic() + 1
        while time.monotonic() < end:
            if select.select([line.master], [], [], 0.1)[0]:
                try:
                    received += os.read(line.master, 4096)
                except OSError:
                    break
        checks.check(f"{name}: exit code {128 + number}", code == 128 + number, code)
        checks.check(f"{name}: the host quit: the blank frame is last",
                     received.endswith(BLANK), repr(received[-44:]))
        time.sleep(0.5)
        left = [pid for pid in started if alive(pid)]
        checks.check(f"{name}: no process left", not left, left)
        checks.check(f"{name}: an X server was started and its folder removed",
                     folders and not any(os.path.exists(f) for f in folders), folders)
    finally:
        if script.poll() is None:
            os.killpg(script.pid, signal.SIGKILL)
            script.wait()
        line.close()


def main():
    checks = Checks()
    work = tempfile.mkdtemp(prefix="scripts-test-")
    saved = None
    if os.path.exists(SETTINGS):
        with open(SETTINGS, "rb") as file:
            saved = file.read()
    try:
        write_settings(SETTINGS, ["DisplayOff=false"])
        refused(checks, work)
        for number, to_group in SIGNALS:
            ended_by_signal(checks, number, to_group)
    finally:
        if saved is None:
            if os.path.exists(SETTINGS):
                os.unlink(SETTINGS)
        else:
            with open(SETTINGS, "wb") as file:
                file.write(saved)
        shutil.rmtree(work, ignore_errors=True)
    print(f"scripts under Wine: {checks.failures} failed")
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main())
