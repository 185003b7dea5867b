#!/usr/bin/env python3
"""The display's device going away and coming back, end to end under Wine: lumhost loads
gen_lum.dll (64-bit build) with COM1 mapped to a symbolic link to a pty. Unplugging closes the
pty's master (the line hangs up) and removes the link; plugging in points the link at a new pty.

- unplugged during the frames for 10 s and back: the new device gets the start sequence and
  frames within about 2 s, and quit's blank frame at the end; no message box;
- unplugged while the display is off and back: the new device gets nothing until the display is
  switched on, then the start sequence;
- unplugged, then quit: the host exits within 2 s of the quit, without a message.

usage: reconnect_test.py [WIN64_BUILD_DIR]
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "scripts", "lib"))
from winehost import Checks, HostFolder, PtyLine, WineSession, run_host, write_settings  # noqa: E402

PLAYLIST = "#EXTM3U\r\n#EXTINF:300,Erster Titel\r\neins.mp3\r\n"
BANNER = b" Winamp  Lum Plugin  Code: the Lum team "
# Worst case from the device's return to its first frame: up to 1 s until the next attempt to
# open, then the start sequence's 1.55 s; and Wine's own latency.
BACK_WITHIN = 2.9


class Scenario:
    """Unplugs and plugs the line at times counted from the host's "loaded" event, and keeps
    what each device received, with the seconds since that event."""

    def __init__(self, line, unplug_at, plug_at=None):
        self.line = line
        self.unplug_at = unplug_at
        self.plug_at = plug_at
        self.loaded = None
        self.received = {}  # device number -> [(seconds since loaded, bytes)]
        self.plugged_back = None

    def on_event(self, now, text):
        if self.loaded is None and text.startswith("loaded "):
            self.loaded = now

    def on_bytes(self, now, chunk):
        since = now - (self.loaded or 0.0)
        self.received.setdefault(self.line.plugs, []).append((since, chunk))

    def on_tick(self, now):
        if self.loaded is None:
            return
        since = now - self.loaded
        if self.line.master is not None and self.line.plugs == 1 and since >= self.unplug_at:
            self.line.unplug()
        elif self.line.master is None and self.plug_at is not None and since >= self.plug_at:
            self.line.plug()
            self.plugged_back = since

    def data(self, device):
        return b"".join(chunk for _, chunk in self.received.get(device, []))

    def first_time(self, device, offset):
        """When byte `offset` of what `device` received arrived."""
        seen = 0
        for at, chunk in self.received.get(device, []):
            seen += len(chunk)
            if seen > offset:
                return at
        return None


def run(build, settings, commands, unplug_at, plug_at=None):
    folder = HostFolder(build, PLAYLIST)
    line = PtyLine()
    scenario = Scenario(line, unplug_at, plug_at)
    try:
        write_settings(folder.settings, ["MainWindowMinimized=false"] + settings)
        result = run_host(build, folder, commands, line=line, on_bytes=scenario.on_bytes,
                          on_event=scenario.on_event, on_tick=scenario.on_tick)
    finally:
        line.close()
        folder.remove()
    return result, scenario


def common_checks(checks, name, result):
    lines = result.lines()
    checks.check(f"{name}: exit code 0", result.returncode == 0, str(result.returncode))
    checks.check(f"{name}: exit is the last event", lines and lines[-1] == "exit", lines[-3:])
    checks.check(f"{name}: no message box", not any(l.startswith("messagebox") for l in lines),
                 lines)


def back_after_ten_seconds(build, checks):
    """8 x 80 frames every 50 ms: the line is busy when the device goes."""
    frame = 640
    result, scenario = run(
        build, ["DisplayOff=false", "LineCount=8", "LineWidth=80", "UpdateInterval=50"],
        ["sleep 22000", "quit"], unplug_at=6.0, plug_at=16.0)
    name = "gone for 10 s"
    common_checks(checks, name, result)
    first, second = scenario.data(1), scenario.data(2)
    checks.check(f"{name}: frames before the device went", first[:3] == b"\x14\r\n" and
                 len(first) >= 3 + 10 * frame, f"{len(first)} bytes")
    if not checks.check(f"{name}: the new device gets the start sequence", second[:3] ==
                        b"\x14\r\n", repr(second[:20])):
        return
    shown = scenario.first_time(2, 3 + frame - 1)
    took = None if shown is None else shown - scenario.plugged_back
    checks.check(f"{name}: its first frame within {BACK_WITHIN} s of its return",
                 took is not None and took <= BACK_WITHIN,
                 "never" if took is None else f"{took:.2f} s")
    if took is not None:
        print(f"     first frame {took:.2f} s after the device's return")
    checks.check(f"{name}: the new device's frames show the banner",
                 second[3:3 + 20] == BANNER[:20], repr(second[3:3 + 60]))
    checks.check(f"{name}: quit clears the new device", second.endswith(b" " * frame) and
                 (len(second) - 3) % frame == 0, f"{len(second)} bytes")


def back_while_off(build, checks):
    result, scenario = run(build, ["DisplayOff=true"],
                           ["sleep 11000", "click MainForm.Panel7", "sleep 4000", "quit"],
                           unplug_at=4.0, plug_at=7.0)
    name = "gone while off"
    common_checks(checks, name, result)
    received = scenario.received.get(2, [])
    if not checks.check(f"{name}: the new device gets bytes once switched on", received):
        return
    checks.check(f"{name}: nothing before the switch-on", received[0][0] > 10.5,
                 f"first bytes {received[0][0]:.2f} s after loading")
    checks.check(f"{name}: then the start sequence", scenario.data(2)[:3] == b"\x14\r\n",
                 repr(scenario.data(2)[:10]))


def gone_then_quit(build, checks):
    result, scenario = run(build, ["DisplayOff=false"], ["sleep 8000", "quit"], unplug_at=5.0)
    name = "gone, then quit"
    common_checks(checks, name, result)
    exited = result.event_time("exit")
    checks.check(f"{name}: the host exits within 2 s of the quit", exited is not None and
                 scenario.loaded is not None and exited - scenario.loaded < 8.0 + 2.0,
                 f"exit {exited} loaded {scenario.loaded}")


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/win64")
    checks = Checks()
    with WineSession(build):
        back_after_ten_seconds(build, checks)
        back_while_off(build, checks)
        gone_then_quit(build, checks)
    if checks.failures:
        print(f"{checks.failures} check(s) failed")
        sys.exit(1)


if __name__ == "__main__":
    main()
