#!/usr/bin/env python3
"""The plug-in end to end under Wine: lumhost loads gen_lum.dll (64-bit build), COM1 is a pty.

With a settings file (and the display font installed) the display receives, measured on the pty's master: the initialisation
byte 1 s after the start-up, CR LF 250 ms later, the first frame one refresh interval after
that, banner frames for 4 s, then the title, play state, time and date; at quit the blank
frame, also when a frame is still pending on a full line as quit comes. Without a settings file
the host reports the first-run message, then the font message,
and the port stays closed.

usage: plugin_test.py [WIN64_BUILD_DIR]
"""
import os
import re
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "scripts", "lib"))
from winehost import Checks, HostFolder, WineSession, run_host, write_settings  # noqa: E402

TOLERANCE = 0.15
WIDTH, LINES = 20, 3
FRAME = WIDTH * LINES
PLAYLIST = "#EXTM3U\r\n#EXTINF:300,Erster Titel\r\neins.mp3\r\n"
FIRST_RUN = "messagebox Sie starten das Plugin zum ersten mal."
FONT = "messagebox Eine f\\xFCr das Plugin notwendige Schriftart"


def near(value, expected):
    return value is not None and abs(value - expected) <= TOLERANCE


def split_frames(data, times, start):
    """The frames from byte `start` on, each with the arrival time of its first byte."""
    frames = []
    for at in range(start, len(data) - FRAME + 1, FRAME):
        frames.append((times[at], data[at:at + FRAME].decode("latin-1")))
    return frames


def lines_of(frame):
    return [frame[i:i + WIDTH] for i in range(0, FRAME, WIDTH)]


def configured_run(build, checks):
    folder = HostFolder(build, PLAYLIST)
    try:
        write_settings(folder.settings, [
            "LineCount=3", "DisplayOff=false", "MainWindowMinimized=false",
            'Set1.Line3.Template="%datumy %zeits"'])
        run = run_host(build, folder, ["play", "sleep 7000", "quit"])
    finally:
        folder.remove()
    lines = run.lines()
    checks.check("configured: exit code 0", run.returncode == 0, str(run.returncode))
    checks.check("configured: exit is the last event", lines and lines[-1] == "exit", lines)
    checks.check("configured: the display font is installed: no message box",
                 not any(line.startswith("messagebox") for line in lines), lines)

    data = run.data()
    times = run.byte_times()
    loaded = run.event_time("loaded ")
    if not checks.check("configured: the display starts with 0x14 and CR LF",
                        data[:3] == b"\x14\r\n", repr(data[:40])):
        return
    started = loaded + 0.005
    checks.check("configured: initialisation byte 1000 ms after the start-up",
                 near(times[0] - started, 1.0), f"{times[0] - started:.3f} s")
    checks.check("configured: CR LF 250 ms after the initialisation byte",
                 near(times[1] - times[0], 0.25), f"{times[1] - times[0]:.3f} s")
    frames = split_frames(data, times, 3)
    if not checks.check("configured: frames follow", len(frames) > 10, len(frames)):
        return
    checks.check("configured: first frame one interval after CR LF",
                 near(frames[0][0] - times[1], 0.3), f"{frames[0][0] - times[1]:.3f} s")
    banner_end = times[1] + 4.0
    banner = [frame for at, frame in frames if at < banner_end - TOLERANCE]
    shown = [frame for at, frame in frames[:-1] if at > banner_end + TOLERANCE]
    checks.check("configured: banner frames for 4 s",
                 banner and all(lines_of(f) == [" Winamp  Lum Plugin ", " Code: the Lum team ",
                                                " " * WIDTH] for f in banner),
                 banner[:2])
    checks.check("configured: about 13 banner frames", 11 <= len(banner) <= 14, len(banner))
    line_pattern = [r"Erster Titel {8}", r"PLAY {11}\d\d:\d\d",
                    r"\d\d\.\d\d\.20\d\d \d\d:\d\d:\d\d "]
    checks.check("configured: then title, state and time, date and time",
                 shown and all(all(re.fullmatch(p, l) for p, l in zip(line_pattern, lines_of(f)))
                               for f in shown), shown[:2])
    checks.check("configured: the last frame is blank (quit)", frames[-1][1] == " " * FRAME,
                 repr(frames[-1][1]))
    checks.check("configured: nothing after the blank frame",
                 len(data) == 3 + FRAME * len(frames), f"{len(data)} bytes")


def quit_during_a_frame(build, checks):
    """8 x 80 frames every 50 ms on a line nobody reads: a frame is pending when quit comes."""
    folder = HostFolder(build, PLAYLIST)
    try:
        write_settings(folder.settings, ["LineCount=8", "LineWidth=80", "UpdateInterval=50",
                                         "DisplayOff=false", "MainWindowMinimized=false"])
        run = run_host(build, folder, ["sleep 7000", "echo quitting", "quit"],
                       hold_line_until="echo quitting")
    finally:
        folder.remove()
    data = run.data()
    blank = b" " * 640
    checks.check("quit during a frame: exit code 0", run.returncode == 0, str(run.returncode))
    checks.check("quit during a frame: the blank frame comes last", data.endswith(blank),
                 repr(data[-80:]))
    # (Frames written while the line was full may have been cut off by the write time-out.)


def first_run(build, checks):
    folder = HostFolder(build, PLAYLIST)
    try:
        run = run_host(build, folder, ["sleep 2000", "quit"], display_font=False)
    finally:
        folder.remove()
    lines = run.lines()
    boxes = [line for line in lines if line.startswith("messagebox ")]
    checks.check("first run: exit code 0", run.returncode == 0, str(run.returncode))
    checks.check("first run: the first-run message, then the font message",
                 len(boxes) == 2 and boxes[0].startswith(FIRST_RUN) and boxes[1].startswith(FONT),
                 boxes)
    checks.check("first run: the port stays closed", run.data() == b"", repr(run.data()[:40]))


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                            os.path.join(os.path.dirname(__file__), "..", "..", "build", "win64"))
    checks = Checks()
    with WineSession(build):
        configured_run(build, checks)
        quit_during_a_frame(build, checks)
        first_run(build, checks)
    print(f"plug-in under Wine: {checks.failures} failed")
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main())
