#!/usr/bin/env python3
"""CPU the plug-in costs under Wine: lumhost with gen_lum.dll (64-bit build) on COM1 mapped to
a pty, measured from /proc over a window after the display has started, in two cases:

  refreshing   a 2 x 20 display refreshed every 300 ms (the host playing)
  display off  the display switched off: only the main window's mirror runs
  host alone   the probe plug-in instead (no windows, no timers): the host's own share

For each it prints the CPU time of lumhost.exe (the host and the plug-in in one process) and of
the wineserver over the window, and the frames the display received. Not a test: run it by hand
(about 2 x (SECONDS + 15) s).

usage: plugin_cpu.py [SECONDS]   (default 60)
"""
import os
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts",
                                "lib"))
from winehost import HostFolder, ROOT, WineSession, run_host, write_settings  # noqa: E402

SETTLE = 6.0  # after the start-up: the display start sequence and the banner are over
TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as file:
        fields = file.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS  # utime + stime


def find_process(name, fragment=""):
    """The process whose name starts with `name` and whose command line holds `fragment`."""
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/comm") as file:
                comm = file.read().strip()
            with open(f"/proc/{pid}/cmdline", "rb") as file:
                cmdline = file.read()
        except OSError:
            continue
        if comm.startswith(name) and fragment.encode() in cmdline:
            return int(pid)
    return None


def measure(session, build, settings, seconds, plugin=None):
    folder = HostFolder(build, "#EXTM3U\r\n#EXTINF:3600,Ein recht langer Titel, der laeuft\r\n"
                               "eins.mp3\r\n", plugin)
    samples = {}

    def sample(name):
        pids = {"host": find_process("lumhost.exe", folder.path),
                "wineserver": session.server_pid()}
        samples[name] = {key: cpu_seconds(pid) for key, pid in pids.items() if pid}

    def on_event(_at, line):
        if line.startswith("loaded "):
            threading.Timer(SETTLE, sample, ("start",)).start()
            threading.Timer(SETTLE + seconds, sample, ("end",)).start()

    try:
        write_settings(folder.settings, settings)
        run = run_host(build, folder, ["play", f"sleep {int((SETTLE + seconds + 2) * 1000)}",
                                       "quit"], timeout=seconds + 120, on_event=on_event)
    finally:
        folder.remove()
    start, end = samples.get("start", {}), samples.get("end", {})
    frames = [at for at, _ in run.received if SETTLE < at < SETTLE + seconds]
    return {key: end[key] - start[key] for key in end if key in start}, len(frames)


def main():
    seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 60.0
    build = os.path.join(ROOT, "build", "win64")
    probe = os.path.join(build, "tests", "probe.dll")
    cases = [
        ("refreshing", ["DisplayOff=false", "MainWindowMinimized=false",
                        "Set1.Line1.ScrollMode=1"], None),
        ("display off", ["DisplayOff=true", "MainWindowMinimized=false"], None),
        ("host alone", [], probe),
    ]
    print(f"{'case':12} {'lumhost.exe CPU':>18} {'wineserver CPU':>18} {'frames':>7}")
    with WineSession(build) as session:
        results = [(name, measure(session, build, settings, seconds, plugin))
                   for name, settings, plugin in cases]
    for name, (used, frames) in results:
        host = used.get("host", float("nan"))
        server = used.get("wineserver", float("nan"))
        print(f"{name:12} {host:7.2f} s {100 * host / seconds:6.2f} % "
              f"{server:7.2f} s {100 * server / seconds:6.2f} % {frames:7d}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
