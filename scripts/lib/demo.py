#!/usr/bin/env python3
"""The plug-in's main job, end to end: lumhost loads gen_lum.dll (64-bit build) under Wine,
plays the demo playlist, and the bytes the plug-in writes to COM1 (a pty) are shown as the
display's frames, live.

usage: demo.py [-i]     -i: type the host's commands yourself (play, pause, stop, next, prev,
                        seek <ms>, select <n>, config, quit)
"""
import os
import sys

from winehost import HostFolder, ROOT, run_host, write_settings

WIDTH, LINES = 20, 2
FRAME = WIDTH * LINES
SCRIPT = ["play", "sleep 7000", "next", "sleep 4000", "pause", "sleep 2000", "quit"]
NAMES = {0x01: "brightness 4", 0x02: "brightness 3", 0x03: "brightness 2", 0x04: "brightness 1",
         0x14: "initialisation byte 0x14"}


class FrameView:
    """Cuts the display's byte stream into frames after the start line feed and prints them."""

    def __init__(self):
        self.buffer = b""
        self.started = False
        self.live = sys.stdout.isatty()
        self.drawn = False

    def bytes(self, at, chunk):
        self.buffer += chunk
        while self.buffer:
            if not self.started:
                if self.buffer.startswith(b"\r\n"):
                    self.note(at, "start line feed CR LF")
                    self.buffer = self.buffer[2:]
                    self.started = True
                elif self.buffer[0] in NAMES:
                    self.note(at, NAMES[self.buffer[0]])
                    self.buffer = self.buffer[1:]
                elif len(self.buffer) >= FRAME:
                    self.frame(at, self.buffer[:FRAME])
                    self.buffer = self.buffer[FRAME:]
                else:
                    return
            elif len(self.buffer) == 1 and self.buffer[0] in NAMES:
                self.note(at, NAMES[self.buffer[0]])
                self.buffer = b""
            elif len(self.buffer) >= FRAME:
                self.frame(at, self.buffer[:FRAME])
                self.buffer = self.buffer[FRAME:]
            else:
                return

    def note(self, at, text):
        self.drawn = False
        print(f"{at:7.2f} s  {text}")

    def frame(self, at, data):
        text = data.decode("cp1252", errors="replace")
        rows = [text[i:i + WIDTH] for i in range(0, FRAME, WIDTH)]
        box = [f"{at:7.2f} s  +{'-' * WIDTH}+"] + [f"           |{row}|" for row in rows] + \
              [f"           +{'-' * WIDTH}+"]
        if self.live and self.drawn:
            sys.stdout.write(f"\x1b[{len(box)}A")
        print("\n".join(box))
        self.drawn = True

    def event(self, _at, line):
        self.drawn = False
        print(f"          host: {line}")


def main():
    interactive = "-i" in sys.argv[1:]
    build = os.path.join(ROOT, "build", "win64")
    with open(os.path.join(ROOT, "demo", "playlist.m3u"), newline="") as file:
        playlist = file.read()
    folder = HostFolder(build, playlist)
    view = FrameView()
    try:
        write_settings(folder.settings, [
            "DisplayOff=false", "MainWindowMinimized=false",
            'Set1.Line1.Template="%titel"', "Set1.Line1.ScrollMode=1"])
        print("The display on COM1 (a pty), as the plug-in drives it:")
        run = run_host(build, folder, None if interactive else SCRIPT,
                       timeout=3600 if interactive else 90, on_bytes=view.bytes,
                       on_event=view.event)
    finally:
        folder.remove()
    return 0 if run.returncode == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
