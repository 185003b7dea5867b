#!/usr/bin/env python3
"""The plug-in's main job, end to end: lumhost loads gen_lum.dll (64-bit build) under Wine and
plays the demo playlist, whose files carry ID3v1 tags; COM1 is the virtual display's pty, and
the display shows live what a real one would.

usage: demo.py [-i] [--rotating] [--port DEVICE] [--screenshot DIR] [--artifacts DIR]

  -i               type the host's commands yourself (play, pause, stop, next, prev, seek <ms>,
                   select <n>, config, quit); otherwise a scripted run
  --rotating       the second settings: two text sets taking turns (tag, date and time)
  --port DEVICE    drive a real display on DEVICE (a tty, or a symbolic link to one) instead of
                   the virtual one
  --screenshot DIR also save PNGs into DIR: the display while it plays and at the end, and the
                   plug-in's windows
  --artifacts DIR  keep the virtual display's byte log and final text in DIR (for tests)

On a terminal the display stays drawn at the top while the commands, the host's events and its
errors scroll below it (and, with -i, the prompt and what you type). Otherwise every new display
state is printed as its lines, and every event as a line, each with the seconds since the start.
Ctrl-C, SIGTERM and SIGHUP end the run cleanly: the host calls the plug-in's quit, which clears
the display.
"""
import argparse
import os
import re
import signal
import subprocess
import sys
import threading
import time
import tty

from winehost import HostFolder, Host, ROOT, WineSession, check_serial_device, write_settings

BUILD = os.path.join(ROOT, "build", "win64")
VFD = os.path.join(ROOT, "build", "native", "bin", "vfd")
DEMO = os.path.join(ROOT, "demo")
WIDTH, LINES = 20, 2
# The scripted run: (seconds to wait first, command).
SCRIPT = [(0, "play"), (9, "next"), (6, "next"), (5, "pause"), (2, "quit")]
SCREENSHOT_AFTER = 8.5
PROMPT = "lumhost> "
CSI = re.compile(r"\x1b\[[0-9;?]*[A-Za-z]")


class Stop(Exception):
    """SIGTERM or SIGHUP: end the run as Ctrl-C does."""


def settings_lines(name):
    with open(os.path.join(DEMO, name)) as file:
        return [line.strip() for line in file if line.strip() and not line.startswith("#")]


def write_tagged_files(folder):
    """Writes the playlist's files: a little filler and the ID3v1 tag of demo/tags.txt."""
    with open(os.path.join(DEMO, "tags.txt"), "rb") as file:
        rows = [line.rstrip(b"\r\n") for line in file if not line.startswith(b"#")]
    for row in filter(None, rows):
        path, title, artist, album, year, comment, track, genre = row.split(b"|")
        field = lambda text, size: text[:size].ljust(size, b"\0")  # noqa: E731
        tag = (b"TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + field(year, 4)
               + field(comment, 28) + b"\0" + bytes([int(track), int(genre)]))
        target = os.path.join(folder.path, *path.decode("cp1252").split("\\"))
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as out:
            out.write(bytes(2048) + tag)


class PlainOutput:
    """Standard output that is no terminal: each event a line, each new display state its
    lines, with the seconds since the start."""

    def __init__(self):
        self.start = time.monotonic()
        self.lock = threading.Lock()
        self.shown = None

    def _write(self, text):
        try:
            sys.stdout.write(text)
            sys.stdout.flush()
        except OSError:
            pass

    def log(self, text):
        with self.lock:
            self._write(f"{time.monotonic() - self.start:6.1f} s  {text}\n")

    def display(self, _drawing, rows):
        with self.lock:
            if rows == self.shown:
                return
            self.shown = rows
            stamp = f"{time.monotonic() - self.start:6.1f} s  "
            self._write("".join(f"{stamp if i == 0 else ' ' * len(stamp)}|{row}|\n"
                                for i, row in enumerate(rows)))

    def read(self):
        line = sys.stdin.readline()
        if line:
            self.log("> " + line.strip())
        return line or None

    def close(self):
        pass


class TerminalOutput:
    """A terminal: the display's drawing stays in the top rows; events, commands and the prompt
    scroll in the region below it. Drawing saves and restores the cursor, and an event line
    that comes while you type is written above the prompt, which is shown again with what you
    had typed, so the redraws never overwrite your text."""

    def __init__(self, top_rows):
        self.top = top_rows
        self.lock = threading.Lock()
        self.drawing = []
        self.reading = False
        try:
            import readline  # noqa: F401  (line editing and history for input())
            self.readline = readline
        except ImportError:
            self.readline = None
        self._setup()
        signal.signal(signal.SIGWINCH, lambda *_: self._setup())

    def _write(self, text):
        try:
            os.write(sys.stdout.fileno(), text.encode())
        except OSError:
            pass

    def _setup(self):
        with self.lock:
            self.rows = os.get_terminal_size().lines
            # Earlier output moves up into the scrollback; the region below the drawing scrolls.
            self._write("\n" * self.rows + "\x1b[H\x1b[J" +
                        f"\x1b[{self.top + 1};{self.rows}r\x1b[{self.rows};1H")
            self._draw()

    def _draw(self):
        self._write("\x1b7" + "".join(f"\x1b[{i + 1};1H{line}\x1b[K"
                                      for i, line in enumerate(self.drawing[:self.top])) + "\x1b8")

    def display(self, drawing, _rows):
        with self.lock:
            self.drawing = drawing
            self._draw()

    def log(self, text):
        with self.lock:
            typed = ""
            if self.reading:
                typed = PROMPT + (self.readline.get_line_buffer() if self.readline else "")
            self._write("\r\x1b[K" + text + "\r\n" + typed)

    def read(self):
        self.reading = True
        try:
            return input(PROMPT) + "\n"
        except EOFError:
            return None
        finally:
            self.reading = False

    def close(self):
        signal.signal(signal.SIGWINCH, signal.SIG_DFL)
        with self.lock:
            self._write(f"\x1b[r\x1b[{self.rows};1H\r\n")


class VirtualDisplay:
    """The vfd tool on a new pty, drawing on a pty of ours: each complete drawing (the border,
    the display's lines, the border, the status line) goes to `on_drawing` as the drawing's
    lines and the display's rows as plain text."""

    def __init__(self, on_drawing, artifacts, screenshot):
        command = [VFD, "--pty", "--width", str(WIDTH), "--lines", str(LINES)]
        if screenshot:
            command += ["--snapshot", os.path.join(screenshot, "display.png")]
        if artifacts:
            command += ["--log", os.path.join(artifacts, "display.log")]
        self.on_drawing = on_drawing
        self.rows = None
        master, slave = os.openpty()
        tty.setraw(slave)
        self.process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=slave,
                                        stderr=subprocess.PIPE, start_new_session=True)
        os.close(slave)
        line = self.process.stderr.readline().decode()
        if not line.startswith("vfd: display on "):
            raise SystemExit("the virtual display did not start: " + line)
        self.device = line[len("vfd: display on "):].strip()
        self.reader = threading.Thread(target=self._read, args=(master,), daemon=True)
        self.reader.start()

    def _read(self, master):
        pending, drawing = "", None
        while True:
            try:
                chunk = os.read(master, 4096)
            except OSError:
                chunk = b""
            if not chunk:
                break
            pending += chunk.decode("utf-8", "replace")
            *lines, pending = pending.split("\n")
            for line in lines:
                line = re.sub(r"\x1b\[\d+A", "", line.rstrip("\r"))
                plain = CSI.sub("", line)
                if drawing is None:
                    if plain.startswith("+-"):
                        drawing = [line]
                elif len(drawing) < LINES + 2:
                    drawing.append(line)
                else:
                    drawing.append(line)  # the status line ends the drawing
                    self.rows = [CSI.sub("", row)[1:-1] for row in drawing[1:1 + LINES]]
                    self.on_drawing(drawing, self.rows)
                    drawing = None
        os.close(master)

    def snapshot(self, folder):
        """The display as it is now, as display-playing.png in `folder`."""
        self.process.send_signal(signal.SIGUSR1)
        time.sleep(0.5)
        os.replace(os.path.join(folder, "display.png"),
                   os.path.join(folder, "display-playing.png"))

    def stop(self):
        self.process.send_signal(signal.SIGTERM)
        self.process.wait(timeout=10)
        self.reader.join(timeout=5)


def scripted(host, out, args, display, session, loaded):
    # The script's times count from the host's start, which a new Wine prefix delays.
    while not loaded.wait(0.1) and host.process.poll() is None:
        pass
    started = time.monotonic()
    shot = False
    for wait, command in SCRIPT:
        end = time.monotonic() + wait
        while time.monotonic() < end and host.process.poll() is None:
            time.sleep(0.1)
            if args.screenshot and not shot and time.monotonic() - started > SCREENSHOT_AFTER:
                shot = True
                if display:
                    display.snapshot(args.screenshot)
                session.screenshot(os.path.join(args.screenshot, "windows.png"))
        out.log("> " + command)
        host.send(command)


def interactive(host, out, session, loaded):
    while not loaded.wait(0.1) and host.process.poll() is None:
        pass
    out.log("Type host commands: play, pause, stop, next, prev, seek <ms>, select <n>, config,")
    out.log("windows, quit (or Ctrl-C, Ctrl-D).")
    if session.visible:
        out.log(f"config opens the plug-in's dialog on the X display {os.environ['DISPLAY']}.")
    else:
        out.log("config opens the plug-in's dialog on no display you can see ($DISPLAY is not")
        out.log("set): a virtual X server. Its message boxes are answered with OK and shown here.")
    while host.process.poll() is None:
        line = out.read()
        if line is None or line.strip() == "quit":
            break
        host.send(line.strip())


def main():
    parser = argparse.ArgumentParser(description="The plug-in driving a display, end to end.")
    parser.add_argument("-i", dest="interactive", action="store_true")
    parser.add_argument("--rotating", action="store_true")
    parser.add_argument("--port")
    parser.add_argument("--screenshot")
    parser.add_argument("--artifacts")
    args = parser.parse_args()
    if args.port:
        try:
            check_serial_device(args.port)
        except ValueError as error:
            print(f"demo: --port {error}", file=sys.stderr)
            return 2
    for folder_option in (args.screenshot, args.artifacts):
        if folder_option:
            os.makedirs(folder_option, exist_ok=True)

    def stop(_number, _frame):
        raise Stop()

    for number in (signal.SIGHUP, signal.SIGTERM):
        signal.signal(number, stop)

    terminal = sys.stdout.isatty()
    out = TerminalOutput(LINES + 4) if terminal else PlainOutput()
    with open(os.path.join(DEMO, "playlist.m3u"), "rb") as file:
        folder = HostFolder(BUILD, file.read())
    display = host = None
    code = 1
    try:
        write_tagged_files(folder)
        write_settings(folder.settings, settings_lines(
            "settings-rotating.txt" if args.rotating else "settings.txt"))
        if args.port:
            com1 = args.port
        else:
            display = VirtualDisplay(out.display, args.artifacts, args.screenshot)
            com1 = display.device
        with WineSession(BUILD, use_display=args.interactive) as session:
            session.set_display_font(True)
            session.map_port(1, com1)
            options = [] if session.visible else ["--auto-dismiss"]
            loaded = threading.Event()

            def on_event(line):
                out.log("host: " + line)
                if line.startswith("loaded "):
                    loaded.set()

            host = Host(session, [os.path.join(folder.path, "lumhost.exe"), *options,
                                  folder.playlist],
                        on_event=on_event, on_error=lambda line: out.log("host error: " + line))
            try:
                if args.interactive:
                    interactive(host, out, session, loaded)
                else:
                    scripted(host, out, args, display, session, loaded)
            except (KeyboardInterrupt, Stop):
                out.log("> quit")
            for number in (signal.SIGINT, signal.SIGHUP, signal.SIGTERM):
                signal.signal(number, signal.SIG_IGN)  # the clean-up below runs to its end
            code = host.quit()
        if display is not None:
            time.sleep(0.3)  # the blank frame reaches the display
            display.stop()
            if args.artifacts and display.rows is not None:
                with open(os.path.join(args.artifacts, "display.txt"), "w") as file:
                    file.write("".join(row + "\n" for row in display.rows))
    except (KeyboardInterrupt, Stop):
        pass
    finally:
        if display is not None and display.process.poll() is None:
            display.stop()
        out.close()
        folder.remove()
    return 0 if code == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
